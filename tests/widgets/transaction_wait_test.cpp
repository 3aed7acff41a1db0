#include "app/main_window.h"
#include "pages/page.h"
#include "recording_prompter.h"
#include "search_window_operator.h"
#include "sim_fixture.h"
#include "wait_for.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>

using namespace kvx;
using namespace kvx::test;
using namespace std::chrono_literals;

namespace {

// Notes when any widget of one window gets painted.
class PaintClock : public QObject {
public:
    explicit PaintClock(QWidget& window)
        : m_window(window) {
        QCoreApplication::instance()->installEventFilter(this);
        m_clock.start();
    }
    ~PaintClock() override { QCoreApplication::instance()->removeEventFilter(this); }
    qint64 now() const { return m_clock.elapsed(); }
    std::vector<qint64> paints;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == &m_window)
            paints.push_back(m_clock.elapsed());
        return false;
    }

private:
    QWidget& m_window;
    QElapsedTimer m_clock;
};

MainWindowOptions optionsFor(const sim::SimulatedDevice& device, RecordingPrompter& prompter) {
    MainWindowOptions options;
    options.prompter = &prompter;
    options.discoveryTarget = loopbackTarget(device);
    options.askCredentials = [] {
        return std::optional<Credentials>({"admin", "admin"});
    };
    return options;
}

} // namespace

// A silent device holds a wait of 10 (here 3 s long): the window goes on painting and says what it
// waits for, while the operator's click, the Connections page's tick and a close all wait for the reply.
TEST(TransactionWait, TheWindowPaintsAndShowsTheWaitWhileNothingElseActs) {
    auto device = startDevice();
    RecordingPrompter prompter;
    MainWindowOptions options = optionsFor(*device, prompter);
    options.linkTiming.waitUnit = 300ms;
    MainWindow window(std::move(options));
    SearchWindowOperator user(window);
    user.connectTo(*device);
    ASSERT_TRUE(window.initialise());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // The Connections tab starts its page's two-second timer.
    QTabBar* bar = window.tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    KVX_ASSERT_SOON(window.pages().connections->refreshTimerRunning());
    auto* refresh = window.pages().connections->findChild<QPushButton*>(QStringLiteral("refreshButton"));
    ASSERT_NE(refresh, nullptr);
    int clicks = 0;
    QObject::connect(refresh, &QPushButton::clicked, [&] { ++clicks; });
    QStringList shown;
    QObject::connect(window.statusBar(), &QStatusBar::messageChanged,
                     [&](const QString& message) { shown << message; });

    sim::FaultOptions faults;
    faults.silentCommands = {"Mode"};
    device->setFaults(faults);
    const std::size_t sentBefore = device->receivedCommands().size();

    // The window system's part: it asks for a fresh picture every frame.
    QTimer frames;
    QObject::connect(&frames, &QTimer::timeout, &window, [&] { window.update(); });
    frames.start(16);
    QTimer::singleShot(500ms, refresh, [refresh] { QTest::mouseClick(refresh, Qt::LeftButton); });
    QTimer::singleShot(2500ms, &window, [&] { window.close(); });

    PaintClock clock(window);
    const qint64 started = clock.now();
    EXPECT_EQ(window.transact("Mode\r\n", 10), "");
    const qint64 ended = clock.now();
    const bool visibleAtTheEnd = window.isVisible();
    const std::vector<std::string> sent = device->receivedCommands();
    frames.stop();

    std::vector<qint64> marks{started};
    for (qint64 paint : clock.paints) {
        if (paint <= ended)
            marks.push_back(paint);
    }
    marks.push_back(ended);
    qint64 longestGap = 0;
    for (std::size_t i = 1; i < marks.size(); ++i)
        longestGap = std::max(longestGap, marks[i] - marks[i - 1]);
    std::cout << "longest paint gap during a " << ended - started << " ms wait: " << longestGap << " ms ("
              << marks.size() - 2 << " widget paints)\n";
    EXPECT_LT(longestGap, 500);

    EXPECT_TRUE(shown.contains(QStringLiteral("Waiting for the device's reply to Mode… 1 s")))
        << shown.join(u'|').toStdString();
    EXPECT_TRUE(window.statusBar()->currentMessage().isEmpty());
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(std::vector<std::string>(sent.begin() + static_cast<std::ptrdiff_t>(sentBefore), sent.end()),
              std::vector<std::string>{"Mode"})
        << "the tick two seconds in sends nothing";
    EXPECT_TRUE(visibleAtTheEnd) << "the close waits for the reply";
    KVX_EXPECT_SOON(!window.isVisible());
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join(u'|').toStdString();
}

// The login's own waits keep the search window painting too: a device slow to take the password.
TEST(TransactionWait, TheSearchWindowPaintsWhileTheLoginWaits) {
    auto device = startDevice();
    sim::FaultOptions faults;
    faults.lateCommands = {{"Pass", 1500ms}};
    device->setFaults(faults);
    RecordingPrompter prompter;
    MainWindowOptions options = optionsFor(*device, prompter);
    MainWindow window(std::move(options));
    QWidget& search = *window.searchWindow();
    SearchWindowOperator user(window);
    user.connectTo(*device);
    QTimer frames;
    QObject::connect(&frames, &QTimer::timeout, &search, [&] { search.update(); });
    frames.start(16);
    PaintClock clock(search);
    ASSERT_TRUE(window.initialise());
    frames.stop();

    qint64 longestGap = 0;
    for (std::size_t i = 1; i < clock.paints.size(); ++i)
        longestGap = std::max(longestGap, clock.paints[i] - clock.paints[i - 1]);
    std::cout << "longest paint gap of the search window over a login held 1500 ms: " << longestGap
              << " ms\n";
    EXPECT_LT(longestGap, 500);
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join(u'|').toStdString();
}
