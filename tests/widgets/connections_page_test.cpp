#include "pages/connections_page.h"
#include "recording_prompter.h"
#include "scripted_session.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

class TickablePage : public ConnectionsPage {
public:
    using ConnectionsPage::ConnectionsPage;
    using ConnectionsPage::refreshTick;
};

// Runs a check at the moment a message is shown, where the modal box would hold the page.
struct WatchingPrompter : RecordingPrompter {
    void message(const QString& text) override {
        RecordingPrompter::message(text);
        if (onMessage)
            onMessage();
    }
    std::function<void()> onMessage;
};

const char* const kVer21 = "+OK Ver 2.1\r\n";

std::string line(const char* idx, int quality = 220, int signal = 0) {
    return std::string(idx) + "|0|1|00:11:22:33:44:5" + idx + "|Phone " + idx + "|10|20|" +
           std::to_string(quality) + "|" + std::to_string(signal) + "\r\n";
}

struct Fixture {
    Fixture()
        : page(session, prompter) {
        page.resize(700, 300);
        page.show();
    }
    QTreeWidget* list() const { return page.findChild<QTreeWidget*>(QStringLiteral("connectionList")); }
    QPushButton* button(const char* name) const { return page.findChild<QPushButton*>(QLatin1String(name)); }
    void expectRefresh(const std::string& listReply, const std::string& verReply = kVer21) {
        session.expect("List\r\n", 10, listReply);
        session.expect("Ver\r\n", 1, verReply);
    }
    void refreshWith(const std::string& listReply, const std::string& verReply = kVer21) {
        expectRefresh(listReply, verReply);
        page.load();
    }
    // The colour of the row's indicator; invalid when none is drawn.
    QColor indicator(int row) const {
        const QIcon icon = list()->topLevelItem(row)->icon(0);
        return icon.isNull() ? QColor() : icon.pixmap(16, 16).toImage().pixelColor(8, 8);
    }
    void clickRow(int row) {
        const QRect rect =
            list()->visualItemRect(list()->topLevelItem(row)).intersected(list()->viewport()->rect());
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void clickDisconnect() { QTest::mouseClick(button("disconnectButton"), Qt::LeftButton); }

    ScriptedSession session;
    WatchingPrompter prompter;
    TickablePage page;
};

} // namespace

TEST(ConnectionsPage, ColumnsAndStartState) {
    Fixture f;
    QStringList captions;
    for (int c = 0; c < f.list()->columnCount(); ++c)
        captions << f.list()->headerItem()->text(c);
    EXPECT_EQ(captions.join(QLatin1Char('|')),
              QStringLiteral("|idx|dev| Port|          Addr|         Name|  Tx|    Rx"));
    EXPECT_DOUBLE_EQ(f.list()->font().pointSizeF(), 9.5);
    EXPECT_FALSE(f.button("disconnectButton")->isEnabled());
}

TEST(ConnectionsPage, RefreshOutcomes) {
    struct Case {
        const char* name;
        std::string listReply;
        bool asksVersion;
        int rows;
        const char* message;
    };
    const Case cases[] = {
        {"only +OK", "+OK\r\n", true, 0, nullptr},
        {"no closing +OK", line("1") + line("3"), true, 2, nullptr},
        {"last line without CR LF", line("1") + line("2") + "3|0|1", true, 2,
         "Get Status is imperfect. Try again."},
        {"no CR LF at all", "3|0|1|00:11:22:33:44:55|Phone|1|2|220|0", true, 0,
         "Get Status is imperfect. Try again."},
        {"refused", "-ERR busy\r\n", false, 0, "Get Information is Failed. Try again."},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.page.startRefreshTimer();
        int rowsAtMessage = -1;
        f.prompter.onMessage = [&] {
            rowsAtMessage = f.list()->topLevelItemCount();
        };
        f.refreshWith(line("7") + "+OK\r\n");
        f.session.expect("List\r\n", 10, c.listReply);
        if (c.asksVersion)
            f.session.expect("Ver\r\n", 1, kVer21);
        QTest::mouseClick(f.button("refreshButton"), Qt::LeftButton);
        EXPECT_TRUE(f.session.done()) << c.name;
        EXPECT_EQ(f.list()->topLevelItemCount(), c.rows) << c.name << ": no row of the last refresh stays";
        EXPECT_EQ(f.prompter.messages, c.message ? QStringList{QLatin1String(c.message)} : QStringList{})
            << c.name;
        if (c.message)
            EXPECT_EQ(rowsAtMessage, c.rows) << c.name << ": the complete lines come first";
        EXPECT_TRUE(f.page.refreshTimerRunning()) << c.name << ": the next tick tries again";
        EXPECT_EQ(f.session.closes + f.session.reconnects, 0) << c.name;
    }
}

TEST(ConnectionsPage, IndicatorColoursAndTheFirmwareGate) {
    struct Case {
        int quality;
        int signal;
        const char* verReply;
        QColor colour;
        const char* spoken; // what a screen reader and the tooltip say instead of the colour
    };
    const Case cases[] = {
        {220, 0, kVer21, Qt::green, "good"},
        {214, 0, kVer21, Qt::yellow, "fair"},
        {200, 0, kVer21, Qt::red, "poor"},
        {220, -9, kVer21, Qt::red, "poor"},
        {220, 0, "+OK Ver 1.5\r\n", QColor(), "unknown"},
        {220, 0, "+OK Ver 2.0\r\n", QColor(), "unknown"},
        {210, 0, "+OK Ver 1.0.2\r\n", Qt::yellow, "fair"},
        {220, 0, "", QColor(), "unknown"},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.refreshWith(line("1", c.quality, c.signal) + "+OK\r\n", c.verReply);
        ASSERT_EQ(f.list()->topLevelItemCount(), 1);
        const QTreeWidgetItem* item = f.list()->topLevelItem(0);
        EXPECT_EQ(f.indicator(0), c.colour) << c.quality << ' ' << c.signal << ' ' << c.verReply;
        EXPECT_EQ(item->data(0, Qt::AccessibleTextRole).toString(), QLatin1String(c.spoken)) << c.spoken;
        EXPECT_EQ(item->toolTip(0), QLatin1String(c.spoken)) << c.spoken;
        if (c.colour.isValid()) {
            const QPixmap dense = item->icon(0).pixmap(QSize(16, 16), 2.0);
            EXPECT_EQ(dense.size(), QSize(32, 32)) << "drawn for the screen, not blown up";
            EXPECT_EQ(dense.toImage().pixelColor(31, 31), c.colour);
        }
        EXPECT_EQ(item->text(0), QStringLiteral(" "));
        EXPECT_EQ(item->text(4), QStringLiteral("00:11:22:33:44:51"));
    }
}

TEST(ConnectionsPage, DisconnectOutcomes) {
    struct Case {
        std::string reply;
        const char* message;
        int reconnects;
        bool reloads;
    };
    const Case cases[] = {
        {"+OK\r\n", nullptr, 0, true},
        {"", "Disconnection is timeout. Check Lumeno-KVX and Try again.", 1, false},
        {"-ERR\r\n", "Disconnection is Failed. Try again.", 0, false},
        {"+OK done\r\n", "Disconnection is Failed. Try again.", 0, false},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.refreshWith(line("1") + line("3") + "+OK\r\n");
        f.clickRow(1);
        ASSERT_TRUE(f.button("disconnectButton")->isEnabled());
        f.session.expect("disc 3\r\n", 3, c.reply);
        if (c.reloads)
            f.expectRefresh(line("1") + "+OK\r\n");
        f.clickDisconnect();
        EXPECT_TRUE(f.session.done()) << c.reply;
        EXPECT_EQ(f.prompter.messages, c.message ? QStringList{QLatin1String(c.message)} : QStringList{})
            << c.reply;
        EXPECT_EQ(f.session.reconnects, c.reconnects) << c.reply;
        EXPECT_EQ(f.list()->topLevelItemCount(), c.reloads ? 1 : 2) << c.reply;
        EXPECT_TRUE(f.button("disconnectButton")->isEnabled()) << "it stays enabled";
    }
}

// Refreshes rebuild the rows and may reorder them: Disconnect names the connection the operator chose.
TEST(ConnectionsPage, TheChosenConnectionIsFollowedAcrossRefreshes) {
    struct Case {
        const char* name;
        std::string laterList;
        bool replaced;
        const char* command;
    };
    const Case cases[] = {
        {"moved up", line("3") + line("7") + "+OK\r\n", false, "disc 3\r\n"},
        {"gone", line("1") + line("7") + "+OK\r\n", false, "disc \r\n"},
        {"another device", line("1") + line("3") + "+OK\r\n", true, "disc \r\n"},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.refreshWith(line("1") + line("3") + "+OK\r\n");
        f.clickRow(1);
        if (c.replaced)
            f.page.connectionReplaced();
        f.refreshWith(c.laterList);
        f.session.expect(c.command, 3, "-ERR\r\n");
        f.clickDisconnect();
        EXPECT_TRUE(f.session.done()) << c.name;
    }
}

TEST(ConnectionsPage, ListTimeoutStopsTheTimerBeforeItsMessageThenCloses) {
    Fixture f;
    f.page.startRefreshTimer();
    bool runningAtMessage = true;
    int closesAtMessage = -1;
    f.prompter.onMessage = [&] {
        runningAtMessage = f.page.refreshTimerRunning();
        closesAtMessage = f.session.closes;
    };
    f.session.expect("List\r\n", 10, "");
    f.page.load();
    EXPECT_TRUE(f.session.done()) << "no version query after a silent list";
    EXPECT_EQ(f.prompter.messages,
              QStringList{QStringLiteral("Get Information is timeout. Check Lumeno-KVX and Try again.")});
    EXPECT_FALSE(runningAtMessage);
    EXPECT_EQ(closesAtMessage, 0);
    EXPECT_EQ(f.session.closes, 1);
    EXPECT_EQ(f.session.reconnects, 0);
}

TEST(ConnectionsPage, TicksNeverStartARefreshInsideAnother) {
    Fixture f;
    f.session.transactionRunning = true;
    f.page.refreshTick();
    f.session.transactionRunning = false;
    EXPECT_TRUE(f.session.sent.empty()) << "a tick during a transaction sends nothing";

    // The message box runs its own event loop; a tick that arrives under it is skipped.
    f.prompter.onMessage = [&] {
        f.page.refreshTick();
    };
    f.session.expect("List\r\n", 10, "-ERR\r\n");
    f.page.refreshTick();
    EXPECT_EQ(f.session.sent.size(), 1u);

    f.prompter.onMessage = nullptr;
    f.expectRefresh(line("1") + "+OK\r\n");
    f.page.refreshTick();
    EXPECT_TRUE(f.session.done());
    EXPECT_EQ(f.list()->topLevelItemCount(), 1);
}
