#include "app/main_window.h"
#include "pages/information_page.h"
#include "pages/page.h"
#include "recording_prompter.h"
#include "search_window_operator.h"
#include "sim_fixture.h"
#include "ui/console_pane.h"
#include "ui/search_connect_window.h"
#include "wait_for.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;
using namespace std::chrono_literals;

namespace {

// Pages that only note their loads and replacements; the Information and Operation Mode ones send the
// command their real pages start with, so the order of loads shows in the device's own record of
// commands. A page with a command reports its silence as the real pages do.
template <class Base> class RecordingPage : public Base {
public:
    RecordingPage(DeviceSession& session, Prompter& prompter, std::string command, QWidget* parent)
        : Base(parent)
        , m_session(session)
        , m_prompter(prompter)
        , m_command(std::move(command)) {}
    void load() override {
        ++loads;
        if (!m_command.empty() && m_session.transact(m_command, 1).empty())
            m_prompter.message(QStringLiteral("Get Information is timeout. Check Lumeno-KVX and Try again."));
    }
    void connectionReplaced() override { ++replaced; }
    int loads = 0;
    int replaced = 0;

private:
    DeviceSession& m_session;
    Prompter& m_prompter;
    std::string m_command;
};

using Plain = RecordingPage<Page>;
using Timed = RecordingPage<TimedPage>;

struct Harness {
    explicit Harness(sim::SimulatedDevice& device, Credentials credentials = {"admin", "admin"},
                     DeviceLink::Timing timing = {}, QString transcriptFolder = {}) {
        MainWindowOptions options;
        options.linkTiming = timing;
        options.transcriptFolder = std::move(transcriptFolder);
        options.prompter = &prompter;
        options.discoveryTarget = loopbackTarget(device);
        options.askCredentials = [this, credentials] {
            ++logins;
            return std::optional<Credentials>(credentials);
        };
        options.pageFactory = [this](DeviceSession& session, Prompter& shown, QWidget* parent) {
            pages = {
                new Plain(session, shown, "Mode\r\n", parent), new Plain(session, shown, "Ver\r\n", parent),
                new Timed(session, shown, "", parent),         new Timed(session, shown, "", parent),
                new Plain(session, shown, "", parent),         new Plain(session, shown, "Ver\r\n", parent)};
            return PageSet{pages[0], pages[1], static_cast<Timed*>(pages[2]), static_cast<Timed*>(pages[3]),
                           pages[4], pages[5]};
        };
        window = std::make_unique<MainWindow>(std::move(options));
        user = std::make_unique<SearchWindowOperator>(*window);
    }
    // Connects, logs in and shows the window, as an operator's first minute does.
    bool start(const sim::SimulatedDevice& device) {
        user->connectTo(device);
        if (!window->initialise())
            return false;
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }
    int loads(int tab) const {
        if (tab == 2 || tab == 3)
            return static_cast<Timed*>(pages[static_cast<std::size_t>(tab)])->loads;
        return static_cast<Plain*>(pages[static_cast<std::size_t>(tab)])->loads;
    }
    int replaced(int tab) const {
        if (tab == 2 || tab == 3)
            return static_cast<Timed*>(pages[static_cast<std::size_t>(tab)])->replaced;
        return static_cast<Plain*>(pages[static_cast<std::size_t>(tab)])->replaced;
    }
    TimedPage* timed(int tab) const { return static_cast<TimedPage*>(pages[static_cast<std::size_t>(tab)]); }
    void clickTab(int tab) {
        QTabBar* bar = window->tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        QCoreApplication::processEvents();
    }

    RecordingPrompter prompter;
    std::array<Page*, 6> pages{};
    int logins = 0;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<SearchWindowOperator> user;
};

using Commands = std::vector<std::string>;

} // namespace

TEST(MainWindow, StartUpLoadsInformationThenOperationModeThenReadsHelp) {
    auto device = startDevice();
    Harness h(*device);
    h.user->connectTo(*device);
    ASSERT_TRUE(h.window->initialise());
    EXPECT_EQ(device->receivedCommands(), (Commands{"User admin", "Pass admin", "Ver", "Mode", "help"}));
    EXPECT_EQ(h.loads(5), 1);
    EXPECT_EQ(h.loads(0), 1);
    EXPECT_EQ(h.window->capabilityLine(), "+OK REPEATER PRSV KATO");
    EXPECT_TRUE(h.window->supportsCommand("repeater"));
    EXPECT_FALSE(h.window->supportsCommand("MISSING"));
    EXPECT_TRUE(h.prompter.messages.isEmpty()) << h.prompter.messages.join(u'|').toStdString();

    QTabWidget* tabs = h.window->tabs();
    const QStringList captions{
        QStringLiteral("  Operation Mode  "), QStringLiteral("  Bluetooth  "),
        QStringLiteral("  Connections  "),    QStringLiteral("  Neighborhoods  "),
        QStringLiteral("  Repeater  "),       QStringLiteral("  Lumeno-KVX100 Manager Information  ")};
    ASSERT_EQ(tabs->count(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(tabs->tabText(i), captions[i]);
    EXPECT_EQ(tabs->currentIndex(), 0);

    h.window->show();
    EXPECT_EQ(h.window->windowTitle(), QStringLiteral("Lumeno-KVX100 Manager : KVX-Trainer - 127.0.0.1"));
    EXPECT_TRUE(h.window->console()->toPlainText().contains(QStringLiteral("Pass *****")));
    EXPECT_FALSE(h.window->console()->toPlainText().contains(QStringLiteral("Pass admin")));
}

TEST(MainWindow, SizeAndSplitOutliveARestart) {
    QList<int> split;
    {
        MainWindow window;
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.resize(800, 560);
        QCoreApplication::processEvents();
        auto* splitter = window.findChild<QSplitter*>();
        splitter->setSizes({200, 300});
        split = splitter->sizes();
    }
    MainWindow restarted;
    restarted.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&restarted));
    EXPECT_EQ(restarted.size(), QSize(800, 560));
    EXPECT_EQ(restarted.findChild<QSplitter*>()->sizes(), split);
}

TEST(MainWindow, TheTitleWithAnEmptyNameAndTheTabNamesKeepTheirShape) {
    sim::DeviceOptions options;
    options.btName = "";
    auto device = startDevice(options);
    Harness h(*device);
    ASSERT_TRUE(h.start(*device));
    EXPECT_EQ(h.window->windowTitle(), QStringLiteral("Lumeno-KVX100 Manager :  - 127.0.0.1"));
    // The captions keep their spacing blanks; the names a screen reader reads do not.
    const auto* tabs = h.window->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("  Bluetooth  "));
    EXPECT_EQ(tabs->tabBar()->accessibleTabName(1), QStringLiteral("Bluetooth"));
}

TEST(MainWindow, CancelledFirstSearchEndsTheProgram) {
    auto device = startDevice();
    Harness h(*device);
    EXPECT_FALSE(h.window->initialise());
    EXPECT_EQ(h.user->openings, 1);
    EXPECT_EQ(h.window->tabs()->count(), 0);
}

TEST(MainWindow, FailedLoginsAreReportedAndTheWindowStaysForAnotherTry) {
    auto device = startDevice();
    Harness h(*device, {"admin", "wrong"});
    h.user->connectTo(*device);
    EXPECT_FALSE(h.window->initialise()) << "the operator cancels after the failure";
    EXPECT_EQ(h.prompter.messages, QStringList{QStringLiteral("Check User name and Password.")});
    EXPECT_EQ(h.user->openings, 1);
}

TEST(MainWindow, AReconnectRequestWhileTheSearchWindowIsOpenIsIgnored) {
    auto device = startDevice();
    sim::FaultOptions faults;
    faults.silentCommands = {"User"};
    device->setFaults(faults);
    DeviceLink::Timing timing;
    timing.unlimitedWaitBound = std::chrono::milliseconds(300);
    Harness h(*device, {"admin", "admin"}, timing);
    h.user->connectTo(*device);
    // After the silent first try the operator connects again once the device answers.
    h.user->connectTo(*device, [&] { device->setFaults({}); });
    ASSERT_TRUE(h.window->initialise());
    QCoreApplication::processEvents();
    QTest::qWait(100);
    EXPECT_EQ(h.user->openings, 1) << "the request posted during Connect must not open a second window";
    EXPECT_EQ(h.prompter.messages.value(0),
              QStringLiteral("Get UserID is timeout. Check Lumeno-KVX and Try again."));
}

TEST(MainWindow, TabClicksRefreshAndDriveTheTwoTimers) {
    auto device = startDevice();
    Harness h(*device);
    ASSERT_TRUE(h.start(*device));

    h.clickTab(0);
    EXPECT_EQ(h.loads(0), 1) << "clicking the remembered tab does nothing";

    h.clickTab(2);
    EXPECT_EQ(h.window->rememberedTab(), 2);
    EXPECT_TRUE(h.timed(2)->refreshTimerRunning());
    EXPECT_EQ(h.loads(2), 1);

    h.clickTab(2);
    EXPECT_EQ(h.loads(2), 1);

    h.timed(3)->startRefreshTimer(); // as the Neighborhoods page does when periodic inquiry is on
    h.clickTab(1);
    EXPECT_FALSE(h.timed(2)->refreshTimerRunning());
    EXPECT_FALSE(h.timed(3)->refreshTimerRunning());
    EXPECT_EQ(h.loads(1), 1);
    EXPECT_EQ(h.window->tabs()->currentIndex(), 1);

    // A tab chosen by keyboard is refreshed as a click refreshes it.
    struct KeyChoice {
        QWidget* receiver;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int tab;
        bool polling;
    };
    const KeyChoice choices[] = {
        {h.window->tabs()->tabBar(), Qt::Key_Right, {}, 2, true},
        {h.window->tabs(), Qt::Key_Tab, Qt::ControlModifier, 3, false},
        {h.window->tabs(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 2, true},
    };
    for (const KeyChoice& c : choices) {
        const int loads = h.loads(c.tab);
        QTest::keyClick(c.receiver, c.key, c.modifiers);
        KVX_EXPECT_SOON(h.window->rememberedTab() == c.tab);
        EXPECT_EQ(h.window->tabs()->currentIndex(), c.tab);
        EXPECT_EQ(h.loads(c.tab), loads + 1) << c.tab;
        EXPECT_EQ(h.timed(2)->refreshTimerRunning(), c.polling) << c.tab;
    }
}

TEST(MainWindow, ReconnectReturnsToTabZeroAndReloadsItOnlyIfAnotherTabWasRemembered) {
    auto device = startDevice();
    Harness h(*device);
    ASSERT_TRUE(h.start(*device));

    h.user->connectTo(*device);
    h.window->postReconnect();
    KVX_EXPECT_SOON(h.user->openings == 2);
    QTest::qWait(50);
    EXPECT_EQ(h.loads(0), 1) << "tab 0 was remembered, so it is not loaded again";
    EXPECT_EQ(device->connectionsAccepted(), 2u);

    h.clickTab(3);
    h.user->connectTo(*device);
    h.window->postReconnect();
    KVX_EXPECT_SOON(h.user->openings == 3);
    KVX_EXPECT_SOON(h.loads(0) == 2);
    EXPECT_EQ(h.window->tabs()->currentIndex(), 0);
    EXPECT_EQ(h.window->rememberedTab(), 0);

    const Commands commands = device->receivedCommands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "help"), 1) << "the capability line is read once";
    EXPECT_TRUE(h.window->isVisible());
}

TEST(MainWindow, CancelledReconnectClosesTheWindow) {
    auto device = startDevice();
    Harness h(*device);
    ASSERT_TRUE(h.start(*device));
    h.window->postReconnect();
    KVX_EXPECT_SOON(h.user->openings == 2);
    KVX_ASSERT_SOON(!h.window->isVisible());
}

TEST(MainWindow, ReloginClearsTheConsoleLogsInAgainAndShowsTabZero) {
    auto device = startDevice();
    Harness h(*device);
    ASSERT_TRUE(h.start(*device));
    h.clickTab(4);
    h.window->console()->append("old text\r\n");

    // A fresh connection, as a reboot leaves it before asking for the login.
    h.window->link().create();
    ASSERT_TRUE(h.window->link().connectTo("127.0.0.1", device->controlPort()));
    h.window->postRelogin();
    KVX_EXPECT_SOON(h.loads(0) == 2);
    EXPECT_EQ(h.window->tabs()->currentIndex(), 0);
    EXPECT_FALSE(h.window->console()->toPlainText().contains(QStringLiteral("old text")));
    EXPECT_TRUE(h.window->console()->toPlainText().startsWith(QStringLiteral("User admin\n")));
    const Commands commands = device->receivedCommands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "Pass admin"), 2);
}

TEST(MainWindow, ACancelledSearchKeepsTheConnectedDeviceItsTitleAndAddress) {
    sim::DeviceOptions options;
    options.advertisedAddress = "10.1.2.3"; // a listed row differs from the address connected to
    options.btName = "Other";
    auto device = startDevice(options);
    Harness h(*device);
    ASSERT_TRUE(h.start(*device));
    h.user->pickFirstFound();
    h.window->runSearchWindow();
    EXPECT_EQ(h.user->openings, 2);
    EXPECT_EQ(h.window->windowTitle(), QStringLiteral("Lumeno-KVX100 Manager :  - 127.0.0.1"));
    EXPECT_EQ(h.window->deviceRecord().ipAddress, "127.0.0.1") << "where a reboot reconnects";
    EXPECT_EQ(leadingDecimal(h.window->deviceRecord().controlPort), device->controlPort());
}

TEST(MainWindow, PageTimersHoldFromTheRebootUntilTheNewLogin) {
    sim::DeviceOptions options;
    options.rebootDowntime = 300ms;
    auto device = startDevice(options);
    Harness h(*device);
    ASSERT_TRUE(h.start(*device));
    InformationPage information(*h.window, h.prompter, {200ms, 3s, 20ms});
    bool heldDuringPause = false;
    QTimer::singleShot(100ms, [&] { heldDuringPause = h.window->inTransaction(); });
    information.reboot();
    EXPECT_TRUE(heldDuringPause);
    EXPECT_TRUE(h.window->inTransaction()) << "the device is back but not logged into yet";
    EXPECT_EQ(h.replaced(1), 1) << "the pages let go of what they read before the reboot";
    KVX_EXPECT_SOON(!h.window->inTransaction());
    const Commands commands = device->receivedCommands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "Pass admin"), 2);
    EXPECT_TRUE(h.prompter.messages.isEmpty()) << h.prompter.messages.join(u'|').toStdString();
}

TEST(MainWindow, TheDeviceClosingTheConnectionEndsTheProgram) {
    auto device = startDevice();
    Harness h(*device);
    ASSERT_TRUE(h.start(*device));
    device->stop();
    KVX_EXPECT_SOON(!h.window->isVisible());
    EXPECT_EQ(h.prompter.messages, QStringList{QStringLiteral("Lumeno-KVX has been disconnected.")});
}

TEST(MainWindow, ADeviceThatClosesDuringAWaitShowsOneMessage) {
    auto device = startDevice();
    Harness h(*device);
    ASSERT_TRUE(h.start(*device));
    sim::FaultOptions faults;
    faults.closeAfterCommands = 1;
    faults.closeInsteadOfReply = true;
    device->setFaults(faults);
    h.clickTab(1);
    KVX_EXPECT_SOON(!h.window->isVisible());
    QTest::qWait(300); // the close watch's next look
    EXPECT_EQ(h.prompter.messages, QStringList{QStringLiteral("Lumeno-KVX has been disconnected.")});
}

TEST(MainWindow, AFailedConnectLeavesTheWindowNotConnectedAndTheNextActionSaysSo) {
    auto device = startDevice();
    auto gone = startDevice();
    Harness h(*device);
    ASSERT_TRUE(h.start(*device));
    h.user->connectTo(*gone);
    gone->stop();
    h.window->runSearchWindow();
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_TRUE(h.prompter.messages[0].startsWith(QStringLiteral("Lumeno-KVX Connection is failed.")));
    EXPECT_EQ(h.window->windowTitle(), QStringLiteral("Lumeno-KVX100 Manager : not connected"));
    EXPECT_EQ(h.window->deviceRecord().ipAddress, "");
    EXPECT_EQ(h.replaced(1), 1);

    const std::size_t sent = device->receivedCommands().size();
    h.clickTab(1);
    KVX_EXPECT_SOON(h.loads(1) == 1);
    EXPECT_EQ(h.prompter.messages.value(1),
              QStringLiteral("Lumeno-KVX is not connected. Search and connect to a device."));
    EXPECT_EQ(h.prompter.messages.size(), 2) << "the page's own time-out is not stacked over it";
    EXPECT_EQ(device->receivedCommands().size(), sent);
}

TEST(MainWindow, TheWholeSessionGoesToTheTranscriptFileAndIsSavedOnRequest) {
    QTemporaryDir folder;
    auto device = startDevice();
    Harness h(*device, {"admin", "admin"}, {}, folder.filePath(QStringLiteral("state/kvx100-manager")));
    ASSERT_TRUE(h.start(*device));
    std::string lines;
    for (int i = 0; i < 600; ++i)
        lines += "line " + std::to_string(i) + "\r\n";
    h.window->console()->append(lines);
    ASSERT_FALSE(h.window->console()->toPlainText().contains(QStringLiteral("User admin")));

    const std::string session = h.window->transcriptFile().session();
    QFile file(folder.filePath(QStringLiteral("state/kvx100-manager/transcript.log")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), session) << "written as it goes";
    EXPECT_NE(session.find("User admin\n+OK Password required\nPass *****\n"), std::string::npos);
    EXPECT_EQ(session.find("Pass admin"), std::string::npos);
    EXPECT_NE(session.find("line 599\n"), std::string::npos);

    const QString saved = folder.filePath(QStringLiteral("saved.txt"));
    h.prompter.fileAnswers = {saved};
    h.window->findChild<QAction*>(QStringLiteral("saveTranscriptAction"))->trigger();
    QFile savedFile(saved);
    ASSERT_TRUE(savedFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(savedFile.readAll().toStdString(), session);
}

TEST(MainWindow, ClosingFromThisSideRaisesNoNotice) {
    auto device = startDevice();
    Harness h(*device);
    ASSERT_TRUE(h.start(*device));
    h.window->link().close();
    device->stop();
    QTest::qWait(500);
    EXPECT_TRUE(h.prompter.messages.isEmpty());
    EXPECT_TRUE(h.window->isVisible());
    EXPECT_TRUE(h.window->transact("Mode\r\n", 1).empty()) << "no socket: the call fails with an empty reply";
}

TEST(MainWindow, CloseRequestClosesTheWindow) {
    auto device = startDevice();
    Harness h(*device);
    ASSERT_TRUE(h.start(*device));
    h.window->postClose();
    EXPECT_TRUE(h.window->isVisible()) << "the request is queued";
    KVX_ASSERT_SOON(!h.window->isVisible());
}
