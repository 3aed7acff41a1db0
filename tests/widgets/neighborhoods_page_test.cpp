#include "core/query.h"
#include "pages/neighborhoods_page.h"
#include "recording_prompter.h"
#include "scripted_session.h"
#include "ui/window_load.h"
#include "wait_for.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

class TickablePage : public NeighborhoodsPage {
public:
    using NeighborhoodsPage::NeighborhoodsPage;
    using NeighborhoodsPage::refreshTick;
};

struct Fixture {
    Fixture()
        : page(session, prompter) {
        session.setVersionCode(263);
    }
    template <typename T = QWidget> T* child(const char* name) const {
        return page.findChild<T*>(QLatin1String(name));
    }
    QString text(const char* name) const { return child<QLineEdit>(name)->text(); }
    int accessCode() const { return child<QComboBox>("accessCodeCombo")->currentIndex(); }
    void loadWith(const std::string& reply) {
        session.expect("pinq\r\n", 3, reply);
        page.load();
    }
    void pollWith(const std::string& reply) {
        session.expect("ngbrh\r\n", 2, reply);
        page.refreshTick();
    }
    QStringList rows() const {
        QStringList texts;
        const QTreeWidget* list = child<QTreeWidget>("neighbourList");
        for (int r = 0; r < list->topLevelItemCount(); ++r) {
            const QTreeWidgetItem* item = list->topLevelItem(r);
            texts << item->text(0) + QLatin1Char('/') + item->text(1) + QLatin1Char('/') + item->text(2);
        }
        return texts;
    }
    // Start and the three fields go one way, Stop the other.
    void expectRunningControls(bool running, const char* what) const {
        for (const char* name : {"startButton", "intervalEdit", "lengthEdit", "accessCodeCombo"})
            EXPECT_EQ(child(name)->isEnabled(), !running) << name << ' ' << what;
        EXPECT_EQ(child("stopButton")->isEnabled(), running) << what;
    }

    ScriptedSession session;
    RecordingPrompter prompter;
    TickablePage page;
};

} // namespace

TEST(NeighborhoodsPage, StartState) {
    Fixture f;
    f.expectRunningControls(false, "at start");
    EXPECT_EQ(f.accessCode(), 0);
    EXPECT_EQ(f.child("intervalEdit")->accessibleName(), QStringLiteral("Interval (sec)"));
    EXPECT_EQ(f.child("lengthEdit")->accessibleName(), QStringLiteral("Length (sec)"));
    EXPECT_EQ(f.child("accessCodeCombo")->accessibleName(), QStringLiteral("Inquiry Access Code"));
}

TEST(NeighborhoodsPage, LoadShowsTheDeviceState) {
    struct Case {
        const char* reply;
        int accessCode;
        bool running;
    };
    const Case cases[] = {
        {"+OK On 10 5 0x9E8B33\r\n", 0, true},
        {"+OK Off 10 5 0x9E8B33\r\n", 0, false},
        {"+OK On 10 5 0x9E8B00\r\n", 1, true},
        {"+OK Off 10 5 0x9e8b33\r\n", 1, false},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.loadWith(c.reply);
        EXPECT_EQ(f.text("intervalEdit"), QStringLiteral("10")) << c.reply;
        EXPECT_EQ(f.text("lengthEdit"), QStringLiteral("5")) << c.reply;
        EXPECT_EQ(f.accessCode(), c.accessCode) << c.reply;
        f.expectRunningControls(c.running, c.reply);
        EXPECT_EQ(f.page.refreshTimerRunning(), c.running) << c.reply;
        EXPECT_TRUE(f.prompter.messages.isEmpty()) << c.reply;
    }
}

TEST(NeighborhoodsPage, FailedStateQueryChangesNothing) {
    // A reply that is no value may belong to another command.
    const QString failed = QStringLiteral("Getting Periodic Inquiry failed.");
    const std::pair<const char*, QString> cases[] = {
        {"", failed}, {"-ERR\r\n", failed}, {"On 1 2 0x9E8B00\r\n", unaskedReplyText("pinq")}};
    for (const auto& [reply, message] : cases) {
        Fixture f;
        f.loadWith("+OK Off 20 4 0x9E8B33\r\n");
        f.loadWith(reply);
        EXPECT_EQ(f.prompter.messages, QStringList{message}) << reply;
        EXPECT_EQ(f.text("intervalEdit"), QStringLiteral("20")) << reply;
        EXPECT_EQ(f.accessCode(), 0) << reply;
        f.expectRunningControls(false, reply);
        EXPECT_EQ(f.session.reconnects + f.session.closes, 0) << reply;
    }
}

TEST(NeighborhoodsPage, OldFirmwareDisablesEverythingForGood) {
    Fixture f;
    f.session.setVersionCode(262);
    f.page.load();
    f.session.setVersionCode(513);
    f.page.load();
    EXPECT_TRUE(f.session.sent.empty());
    for (const char* name :
         {"startButton", "stopButton", "intervalEdit", "lengthEdit", "accessCodeCombo", "neighbourList"})
        EXPECT_FALSE(f.child(name)->isEnabled()) << name;
}

TEST(NeighborhoodsPage, StartSendsTheFieldsAndReadsTheStateBack) {
    for (const auto& [index, command] :
         {std::pair{1, "pinq on 30 10 0x9E8B00\r\n"}, std::pair{0, "pinq on 30 10 0x9E8B33\r\n"}}) {
        Fixture f;
        f.loadWith("+OK Off 20 4 0x9E8B33\r\n");
        f.child<QLineEdit>("intervalEdit")->setText(QStringLiteral("30"));
        f.child<QLineEdit>("lengthEdit")->setText(QStringLiteral("10"));
        f.child<QComboBox>("accessCodeCombo")->setCurrentIndex(index);
        // The reply to the command is not looked at; the state read back decides.
        f.session.expect(command, 3, "-ERR\r\n");
        f.session.expect("pinq\r\n", 3, "+OK On 30 10 0x9E8B00\r\n");
        QTest::mouseClick(f.child<QPushButton>("startButton"), Qt::LeftButton);
        EXPECT_TRUE(f.session.done()) << command;
        f.expectRunningControls(true, command);
        EXPECT_TRUE(f.page.refreshTimerRunning()) << command;
    }
}

// Start sends the interval, length and access code only when this connection read them.
TEST(NeighborhoodsPage, StartSendsOnlyWhatThisConnectionRead) {
    struct Case {
        const char* reply;
        bool replaced;
        bool sends;
    };
    const Case cases[] = {{"+OK Off 20 4 0x9E8B33\r\n", false, true},
                          {"+OK Off 20 4 0x9E8B33\r\n", true, false},
                          {"-ERR\r\n", false, false},
                          {"", false, false}};
    for (const Case& c : cases) {
        Fixture f;
        f.loadWith(c.reply);
        if (c.replaced)
            f.page.connectionReplaced();
        f.child<QLineEdit>("intervalEdit")->setText(QStringLiteral("30"));
        f.child<QLineEdit>("lengthEdit")->setText(QStringLiteral("10"));
        if (c.sends) {
            f.session.expect("pinq on 30 10 0x9E8B33\r\n", 3, "+OK\r\n");
            f.session.expect("pinq\r\n", 3, c.reply);
        }
        f.prompter.messages.clear();
        QTest::mouseClick(f.child<QPushButton>("startButton"), Qt::LeftButton);
        EXPECT_TRUE(f.session.done()) << c.reply;
        EXPECT_EQ(f.prompter.messages, c.sends ? QStringList() : QStringList{unreadValuesText()}) << c.reply;
    }
}

TEST(NeighborhoodsPage, StopEndsPollingAndKeepsTheRows) {
    Fixture f;
    f.loadWith("+OK On 10 5 0x9E8B33\r\n");
    f.pollWith("00:11:22:33:44:55 0x5A020C Phone\r\n+OK\r\n");
    f.session.expect("pinq off\r\n", 3, "");
    QTest::mouseClick(f.child<QPushButton>("stopButton"), Qt::LeftButton);
    EXPECT_TRUE(f.session.done());
    EXPECT_FALSE(f.page.refreshTimerRunning());
    f.expectRunningControls(false, "after Stop");
    EXPECT_EQ(f.rows().size(), 1);
    EXPECT_TRUE(f.prompter.messages.isEmpty());

    // Polling started earlier goes on when a later load finds the inquiry off, until another tab.
    Fixture g;
    g.loadWith("+OK On 10 5 0x9E8B33\r\n");
    g.loadWith("+OK Off 10 5 0x9E8B33\r\n");
    EXPECT_TRUE(g.page.refreshTimerRunning());
    g.expectRunningControls(false, "found off");
}

TEST(NeighborhoodsPage, PollReplies) {
    const QStringList before{QStringLiteral("AA:AA:AA:AA:AA:AA/0x000000/Old")};
    const std::pair<std::string, QStringList> cases[] = {
        {"+OK\r\n", {}},
        {"00:11:22:33:44:55 0x5A020C My Phone X\r\nAA:BB:CC:DD:EE:FF 0x2404\r\n00:11:22:33:44:66\r\n+OK\r\n",
         {QStringLiteral("00:11:22:33:44:55/0x5A020C/My Phone X"),
          QStringLiteral("AA:BB:CC:DD:EE:FF/0x2404/"), QStringLiteral("00:11:22:33:44:66//")}},
        {"", before},
        {"-ERR\r\n", before},
    };
    for (const auto& [reply, rows] : cases) {
        Fixture f;
        f.pollWith("AA:AA:AA:AA:AA:AA 0x000000 Old\r\n+OK\r\n");
        f.pollWith(reply);
        EXPECT_EQ(f.rows(), rows) << reply;
        EXPECT_TRUE(f.prompter.messages.isEmpty()) << reply;
    }
}

TEST(NeighborhoodsPage, PollingTicksComeFromTheTimerAndSkipDuringATransaction) {
    Fixture f;
    f.session.transactionRunning = true;
    f.page.refreshTick();
    f.session.transactionRunning = false;
    EXPECT_TRUE(f.session.sent.empty());

    f.loadWith("+OK On 10 5 0x9E8B33\r\n");
    f.session.expect("ngbrh\r\n", 2, "00:11:22:33:44:55 0x5A020C Phone\r\n+OK\r\n");
    KVX_EXPECT_SOON(f.session.done());
    EXPECT_EQ(f.rows().size(), 1);
    f.page.stopRefreshTimer();
}
