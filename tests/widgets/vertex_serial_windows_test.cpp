#include "modes/serial_port_window.h"
#include "modes/vertex_mode_window.h"
#include "recording_prompter.h"
#include "scripted_session.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

constexpr int kStillOpen = -1;

template <typename W = QLineEdit> W* find(const QWidget& window, const char* name) {
    W* w = window.findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void click(const QWidget& window, const char* name) {
    QTest::mouseClick(find<QPushButton>(window, name), Qt::LeftButton);
}

void type(const QWidget& window, const char* name, const QString& text) {
    find(window, name)->clear();
    QTest::keyClicks(find(window, name), text);
}

// Runs the window modally and does `act` once it shows; kStillOpen when `act` left it open.
int run(QDialog& window, const std::function<void()>& act) {
    bool stillOpen = false;
    QTimer::singleShot(0, &window, [&] {
        act();
        if (window.isVisible()) {
            stillOpen = true;
            window.reject();
        }
    });
    const int result = window.exec();
    return stillOpen ? kStillOpen : result;
}

struct VertexFixture {
    VertexFixture()
        : window(session, prompter) {}
    int open(const std::string& reply, const std::function<void()>& act) {
        session.expect("Vertex\r\n", 10, reply);
        return run(window, act);
    }
    QString text(const char* name) const { return find(window, name)->text(); }

    ScriptedSession session;
    RecordingPrompter prompter;
    VertexModeWindow window;
};

} // namespace

TEST(VertexModeWindow, FailedReadKeepsWhatTheLastOpeningRead) {
    struct Case {
        const char* reply;
        const char* message;
        int reconnects;
    };
    const Case cases[] = {
        {"", "Get Vertex Mode is timeout. Check Lumeno-KVX and Try again.", 1},
        {"-ERR\r\n", "Get Vertex is Failed. Try again.", 0},
        {"+OK", "Get Vertex is Failed. Try again.", 0},
    };
    for (const Case& c : cases) {
        VertexFixture f;
        f.open("+OK PORT 9100 MAX 7\r\n", [&] { click(f.window, "cancelButton"); });
        // Apply with the values of the earlier read still counts as no change.
        EXPECT_EQ(f.open(c.reply, [&] { click(f.window, "applyButton"); }), QDialog::Accepted) << c.reply;
        EXPECT_EQ(f.prompter.messages, QStringList{QLatin1String(c.message)});
        EXPECT_EQ(f.session.reconnects, c.reconnects);
        EXPECT_EQ(f.text("portEdit"), QStringLiteral("9100"));
        EXPECT_TRUE(f.session.done());
    }
}

TEST(VertexModeWindow, Apply) {
    const char* const setFail = "Vertex Mode Setup Fail. Try again.";
    struct Case {
        const char* name;
        const char* port;
        const char* maximum;
        const char* command; // nullptr: nothing is sent
        const char* reply;
        const char* message;
        int result;
        int reconnects;
    };
    const Case cases[] = {
        {"unchanged", "9100", "7", nullptr, "", nullptr, QDialog::Accepted, 0},
        {"port changed", "9200", "7", "Vertex 9200 7\r\n", "+OK PORT 9200 MAX 7\r\n", nullptr,
         QDialog::Accepted, 0},
        {"bare +OK", "9200", "7", "Vertex 9200 7\r\n", "+OK\r\n", setFail, kStillOpen, 0},
        {"other values", "9200", "7", "Vertex 9200 7\r\n", "+OK PORT 9200 MAX 5\r\n", setFail, kStillOpen, 0},
        {"refused", "9200", "7", "Vertex 9200 7\r\n", "-ERR\r\n", setFail, kStillOpen, 0},
        {"no answer", "9200", "7", "Vertex 9200 7\r\n", "",
         "Set Vertex Mode is timeout. Check Lumeno-KVX and Try again.", kStillOpen, 1},
        {"empty port", "", "7", nullptr, "", "Fill the Vertex Port.", kStillOpen, 0},
    };
    for (const Case& c : cases) {
        VertexFixture f;
        f.session.expect("Vertex\r\n", 10, "+OK PORT 9100 MAX 7\r\n");
        if (c.command)
            f.session.expect(c.command, 10, c.reply);
        const int result = run(f.window, [&] {
            type(f.window, "portEdit", QLatin1String(c.port));
            type(f.window, "maximumEdit", QLatin1String(c.maximum));
            click(f.window, "applyButton");
        });
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_TRUE(f.session.done()) << c.name;
        EXPECT_EQ(f.prompter.messages, c.message ? QStringList{QLatin1String(c.message)} : QStringList())
            << c.name;
        EXPECT_EQ(f.session.reconnects, c.reconnects) << c.name;
    }
}

TEST(VertexModeWindow, OpeningShowsTheReadValuesAndRefreshPutsBackThePortAndOne) {
    VertexFixture f;
    f.open("+OK PORT 9100 MAX 7\r\n", [&] {
        EXPECT_EQ(f.text("portEdit"), QStringLiteral("9100"));
        EXPECT_EQ(f.text("maximumEdit"), QStringLiteral("7"));
        type(f.window, "portEdit", QStringLiteral("12345"));
        EXPECT_EQ(f.text("portEdit"), QStringLiteral("1234"));
        type(f.window, "maximumEdit", QStringLiteral("5"));
        click(f.window, "refreshButton");
    });
    EXPECT_EQ(f.text("portEdit"), QStringLiteral("9100"));
    EXPECT_EQ(f.text("maximumEdit"), QStringLiteral("1"));
    EXPECT_TRUE(f.session.done());
    EXPECT_TRUE(f.prompter.messages.isEmpty());
    EXPECT_EQ(find(f.window, "portEdit")->accessibleName(), QStringLiteral("Vertex Port"));
    EXPECT_EQ(find(f.window, "maximumEdit")->accessibleName(), QStringLiteral("Max Number of Connections"));
}

namespace {

const char* const kLists[] = {"baudCombo", "dataBitsCombo", "parityCombo", "stopBitsCombo", "flowCombo"};

using Texts = std::vector<std::string>;

Texts shownTexts(const QWidget& window) {
    Texts texts;
    for (const char* name : kLists)
        texts.push_back(find<QComboBox>(window, name)->currentText().toStdString());
    return texts;
}

void choose(const QWidget& window, const Texts& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto* list = find<QComboBox>(window, kLists[i]);
        const int index = list->findText(QString::fromStdString(texts[i]));
        ASSERT_GE(index, 0) << texts[i];
        list->setCurrentIndex(index);
    }
}

} // namespace

TEST(SerialPortWindow, OpeningReadsTheFiveSettings) {
    const Texts initial{"115200", "8 bit", "None", "1 bit", "Hardware"};
    struct Case {
        const char* reply;
        Texts texts;
        bool failed;
    };
    const Case cases[] = {
        {"+OK RS232 9600 7E2 xonoff\r\n", {"9600", "7 bit", "Even", "2 bit", "Xon/Xoff"}, false},
        // Characters outside the lists are shown as read.
        {"+OK RS232 14400 9M3 none\r\n", {"14400", "9 bit", "M", "3", "None"}, false},
        // A rate that cannot be read is shown empty rather than as a rate nobody chose.
        {"+OK RS232  8N1 none\r\n", {"", "8 bit", "None", "1 bit", "None"}, false},
        {"-ERR\r\n", initial, true},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        session.expect("rs232\r\n", 1, c.reply);
        SerialPortWindow window(session, prompter);
        EXPECT_EQ(shownTexts(window), c.texts) << c.reply;
        EXPECT_EQ(prompter.messages,
                  c.failed ? QStringList{QStringLiteral("Can't get RS232 configuration.")} : QStringList())
            << c.reply;
    }
}

TEST(SerialPortWindow, OkSendsTheChosenLineAndClosesWithOkEvenWhenRefused) {
    struct Case {
        Texts chosen; // empty: as read
        const char* command;
        const char* reply;
        bool failed;
    };
    const Case cases[] = {
        {{"57600", "7 bit", "Odd", "2 bit", "None"}, "rs232 57600 7O2 none\r\n", "+OK\r\n", false},
        {{"230400", "5 bit", "Even", "1 bit", "Xon/Xoff"}, "rs232 230400 5E1 xonoff\r\n", "+OK\r\n", false},
        {{"1200", "8 bit", "None", "1 bit", "Hardware"}, "rs232 1200 8N1 hardware\r\n", "-ERR\r\n", true},
        {{"1200", "8 bit", "None", "1 bit", "Hardware"}, "rs232 1200 8N1 hardware\r\n", "", true},
        // What the device reported outside the lists goes back as it came.
        {{}, "rs232 14400 9M3 none\r\n", "+OK\r\n", false},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        session.expect("rs232\r\n", 1, "+OK RS232 14400 9M3 none\r\n");
        SerialPortWindow window(session, prompter);
        session.expect(c.command, 1, c.reply);
        const int result = run(window, [&] {
            choose(window, c.chosen);
            click(window, "okButton");
        });
        EXPECT_EQ(result, QDialog::Accepted) << c.command;
        EXPECT_TRUE(session.done()) << c.command;
        EXPECT_EQ(prompter.messages,
                  c.failed ? QStringList{QStringLiteral("Setting RS232 failed.")} : QStringList())
            << c.command;
    }
}

TEST(SerialPortWindow, OkWithoutARateAsksForOneAndSendsNothing) {
    ScriptedSession session;
    RecordingPrompter prompter;
    session.expect("rs232\r\n", 1, "+OK RS232 \x01 7E2 none\r\n");
    SerialPortWindow window(session, prompter);
    session.expect("rs232 9600 7E2 none\r\n", 1, "+OK\r\n");
    const int result = run(window, [&] {
        click(window, "okButton");
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(session.sent.size(), 1u);
        choose(window, {"9600"});
        click(window, "okButton");
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(session.done());
    EXPECT_EQ(prompter.messages, QStringList{QStringLiteral("Choose the Baud Rate.")});
}

TEST(SerialPortWindow, CancelSendsNothingAndTheListsTakeOnlyTheirItems) {
    ScriptedSession session;
    RecordingPrompter prompter;
    session.expect("rs232\r\n", 1, "+OK RS232 9600 8N1 none\r\n");
    SerialPortWindow window(session, prompter);
    EXPECT_EQ(run(window, [&] { click(window, "cancelButton"); }), QDialog::Rejected);
    EXPECT_TRUE(session.done());
    const char* const labels[] = {"Baud Rate:", "Data:", "Parity:", "Stopbit:", "Flow Control:"};
    for (std::size_t i = 0; i < std::size(kLists); ++i) {
        EXPECT_FALSE(find<QComboBox>(window, kLists[i])->isEditable()) << kLists[i];
        EXPECT_EQ(find<QComboBox>(window, kLists[i])->accessibleName(), QLatin1String(labels[i]));
    }
    EXPECT_EQ(find<QComboBox>(window, "baudCombo")->count(), 9);
}
