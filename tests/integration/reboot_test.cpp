#include "app/main_window.h"
#include "recording_prompter.h"
#include "search_window_operator.h"
#include "sim_fixture.h"
#include "ui/console_pane.h"
#include "wait_for.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;
using namespace std::chrono_literals;

namespace {

// The product's own pages against the simulated device, with the real reboot timing.
struct Product {
    explicit Product(sim::SimulatedDevice& device) {
        MainWindowOptions options;
        options.prompter = &prompter;
        options.discoveryTarget = loopbackTarget(device);
        options.askCredentials = [] {
            return std::optional<Credentials>(Credentials{"admin", "admin"});
        };
        window = std::make_unique<MainWindow>(std::move(options));
        user = std::make_unique<SearchWindowOperator>(*window);
        user->connectTo(device);
    }
    bool start() {
        if (!window->initialise())
            return false;
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }
    void clickTab(int tab) {
        QTabBar* bar = window->tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        QCoreApplication::processEvents();
    }

    RecordingPrompter prompter;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<SearchWindowOperator> user;
};

using Commands = std::vector<std::string>;

} // namespace

TEST(StartUp, TheVersionDecidesTheListChecksBeforeTheModeAndHelp) {
    struct Case {
        const char* firmware;
        Commands commands;
    };
    const Case cases[] = {
        {"2.1.0", {"User admin", "Pass admin", "Ver", "list", "list", "Mode", "help"}},
        {"1.0.2", {"User admin", "Pass admin", "Ver", "list", "Mode", "help"}},
        {"1.5", {"User admin", "Pass admin", "Ver", "Mode", "help"}},
    };
    for (const Case& c : cases) {
        sim::DeviceOptions options;
        options.firmwareVersion = c.firmware;
        auto device = startDevice(options);
        Product p(*device);
        ASSERT_TRUE(p.start()) << c.firmware;
        EXPECT_EQ(device->receivedCommands(), c.commands) << c.firmware;
        EXPECT_TRUE(p.prompter.messages.isEmpty()) << p.prompter.messages.join(u'|').toStdString();
    }
}

TEST(Reboot, TheDeviceBackAfterTwentySecondsIsLoggedIntoAgainOnTabZero) {
    sim::DeviceOptions options;
    options.rebootDowntime = 20s;
    auto device = startDevice(options);
    Product p(*device);
    ASSERT_TRUE(p.start());
    p.clickTab(5);
    QElapsedTimer clock;
    clock.start();
    p.window->findChild<QPushButton*>(QStringLiteral("rebootButton"))->click();
    const qint64 took = clock.elapsed();
    EXPECT_GE(took, 19000) << "the first attempt after the 15-second pause finds the device still down";
    EXPECT_LT(took, 29000);
    KVX_EXPECT_SOON(p.window->tabs()->currentIndex() == 0 && p.window->rememberedTab() == 0);
    KVX_EXPECT_SOON(p.window->console()->toPlainText().contains(QStringLiteral("+OK Server Mode")));
    EXPECT_TRUE(p.window->console()->toPlainText().startsWith(QStringLiteral("User admin\n")))
        << "the console is cleared before the new login";
    EXPECT_TRUE(p.prompter.messages.isEmpty()) << p.prompter.messages.join(u'|').toStdString();
    EXPECT_EQ(device->connectionsAccepted(), 2u);
    EXPECT_EQ(p.user->openings, 1) << "no search and connect window after a good reboot";
    EXPECT_TRUE(p.window->isVisible());
}

TEST(Reboot, ADeviceThatNeverComesBackEndsInTheSearchWindow) {
    sim::DeviceOptions options;
    options.rebootDowntime = 1h;
    auto device = startDevice(options);
    Product p(*device);
    ASSERT_TRUE(p.start());
    p.clickTab(5);
    QElapsedTimer clock;
    clock.start();
    p.window->findChild<QPushButton*>(QStringLiteral("rebootButton"))->click();
    const qint64 took = clock.elapsed();
    EXPECT_GE(took, 29500);
    EXPECT_LT(took, 36000);
    EXPECT_EQ(p.prompter.messages, QStringList{QStringLiteral("Reboot is Failed. Try again.")});
    KVX_EXPECT_SOON(p.user->openings == 2);
    KVX_EXPECT_SOON(!p.window->isVisible()) << "the operator cancelled the search and connect window";
}
