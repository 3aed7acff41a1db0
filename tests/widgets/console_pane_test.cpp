#include "ui/console_pane.h"

#include <QScrollBar>
#include <gtest/gtest.h>

using namespace kvx;

TEST(ConsolePane, ShowsWireTextAsLines) {
    struct Case {
        std::string wire;
        const char* shown;
    };
    const Case cases[] = {
        {"Mode\r\n", "Mode\n"},
        {"+OK\r\n+OK", "+OK\n+OK"},
        {"a\rb", "a\nb"},
        {std::string("nul\0byte", 8), "nulbyte"},
        {"caf\xC3\xA9", "caf\u00e9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(consoleText(c.wire).toStdString(), c.shown);
}

TEST(ConsolePane, EmptiesItselfWhenPassingFiveHundredLines) {
    ConsolePane pane;
    std::string block;
    for (int i = 0; i < 499; ++i)
        block += "line\r\n";
    pane.append(block);
    EXPECT_EQ(pane.lineCount(), 500) << "499 line ends open a 500th, empty line";
    pane.append("x");
    EXPECT_EQ(pane.lineCount(), 500);
    EXPECT_TRUE(pane.toPlainText().endsWith(QStringLiteral("line\nx")));
    pane.append("\r\n");
    EXPECT_EQ(pane.lineCount(), 0) << "the append that makes 501 lines empties the pane, itself included";
    EXPECT_TRUE(pane.toPlainText().isEmpty());
    pane.append("again\r\n");
    EXPECT_EQ(pane.toPlainText(), QStringLiteral("again\n"));
}

TEST(ConsolePane, IsReadOnlyAndAppendsAtTheEndWhateverTheCaret) {
    ConsolePane pane;
    EXPECT_TRUE(pane.isReadOnly());
    pane.append("first\r\n");
    pane.moveCursor(QTextCursor::Start);
    pane.append("second\r\n");
    EXPECT_EQ(pane.toPlainText(), QStringLiteral("first\nsecond\n"));
    pane.clear();
    EXPECT_TRUE(pane.toPlainText().isEmpty());
    EXPECT_TRUE(pane.isReadOnly());
}
