// Leaves the Connections tab open against a simulated device whose links come and go, or with
// --switch-tabs S goes between the Connections and Neighborhoods tabs every S seconds while the
// inquiry runs, and reports whether every refresh kept its rows, whether any two refreshes overlapped,
// every message shown, and how memory moved. Not part of the test run: scripts/soak-connections builds
// and runs it.
#include "app/main_window.h"
#include "private_settings.h"
#include "recording_prompter.h"
#include "sim/simulated_device.h"
#include "ui/search_connect_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <fstream>

namespace {

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const kvx::test::PrivateSettings settings;
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
    const int switchEvery = argc > 3 && std::string(argv[2]) == "--switch-tabs" ? std::atoi(argv[3]) : 0;

    kvx::sim::DeviceOptions options;
    options.discoveryPort = 0;
    options.linkChurn = true;
    options.links = {{"00:1B:DC:0F:A1:01", "Scanner", 235, -2, "1", 0, 0},
                     {"00:1B:DC:0F:A1:02", "Printer", 207, -4, "2", 0, 0},
                     {"00:1B:DC:0F:A1:03", "Handheld", 190, -11, "3", 0, 0}};
    options.neighbours = {{"00:1B:DC:0F:C1:01", "0x001F00", "Dock Printer"},
                          {"00:1B:DC:0F:C1:02", "0x000540", "Handheld 9"},
                          {"00:1B:DC:0F:C1:03", "0x240404", "Headset"}};
    kvx::sim::SimulatedDevice device(options);
    if (!device.start()) {
        std::fprintf(stderr, "soak: %s\n", device.lastError().c_str());
        return 2;
    }

    kvx::test::RecordingPrompter prompter;
    kvx::MainWindowOptions windowOptions;
    windowOptions.prompter = &prompter;
    windowOptions.discoveryTarget = {"127.0.0.1", device.discoveryPort()};
    windowOptions.askCredentials = [] {
        return std::optional<kvx::Credentials>(kvx::Credentials{"admin", "admin"});
    };
    kvx::MainWindow window(std::move(windowOptions));
    QTimer::singleShot(0, &window, [&] {
        kvx::SearchConnectWindow* search = window.searchWindow();
        search->findChild<QLineEdit*>(QStringLiteral("ipAddressEdit"))->setText(QStringLiteral("127.0.0.1"));
        search->findChild<QLineEdit*>(QStringLiteral("controlPortEdit"))
            ->setText(QString::number(device.controlPort()));
        search->findChild<QPushButton*>(QStringLiteral("connectButton"))->click();
    });
    if (!window.initialise())
        return 2;
    window.show();
    QTabBar* bar = window.tabs()->tabBar();
    const auto showTab = [bar](int tab) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
    };
    if (switchEvery > 0) {
        showTab(3);
        QTest::qWait(300); // the tab click is queued; the page loads its settings before Start
        window.findChild<QPushButton*>(QStringLiteral("startButton"))->click();
    }
    showTab(2);
    auto* list = window.findChild<QTreeWidget*>(QStringLiteral("connectionList"));

    const long startKb = residentKilobytes();
    long peakKb = startKb;
    int samples = 0;
    int shortSamples = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000LL) {
        QTest::qWait(1000);
        ++samples;
        if (switchEvery > 0 && samples % switchEvery == 0)
            showTab(bar->currentIndex() == 2 ? 3 : 2);
        if (list->topLevelItemCount() != 3)
            ++shortSamples;
        peakKb = std::max(peakKb, residentKilobytes());
        if (samples % 60 == 0)
            std::printf("soak: %3d min, rows %d, resident %ld kB\n", samples / 60, list->topLevelItemCount(),
                        residentKilobytes());
        std::fflush(stdout);
    }

    // Each refresh sends "List" then "Ver"; two overlapping ones would show two "List" in a row.
    int refreshes = 0;
    int overlaps = 0;
    int polls = 0;
    std::string previous;
    for (const std::string& command : device.receivedCommands()) {
        polls += command == "ngbrh" ? 1 : 0;
        if (command == "List") {
            ++refreshes;
            overlaps += previous == "List" ? 1 : 0;
        }
        previous = command;
    }
    const long endKb = residentKilobytes();
    for (const QString& message : prompter.messages)
        std::printf("soak: message shown: %s\n", qPrintable(message));
    std::printf("soak: %d s, %d refreshes, %d overlapping, %d neighbour polls, %d of %d samples short of 3 "
                "rows, %d messages\n",
                seconds, refreshes, overlaps, polls, shortSamples, samples,
                static_cast<int>(prompter.messages.size()));
    std::printf("soak: resident %ld kB after start, %ld kB at the end, peak %ld kB\n", startKb, endKb,
                peakKb);
    device.stop();
    return overlaps == 0 && shortSamples == 0 && prompter.messages.isEmpty() ? 0 : 1;
}
