// Leaves the Connections tab open against a simulated device whose links come and go, and reports
// whether every refresh kept its rows, whether any two refreshes overlapped, and how memory moved.
// Not part of the test run: scripts/soak-connections builds and runs it.
#include "app/main_window.h"
#include "device/search_connect_window.h"
#include "recording_prompter.h"
#include "sim/simulated_device.h"

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
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;

    kvx::sim::DeviceOptions options;
    options.discoveryPort = 0;
    options.linkChurn = true;
    options.links = {{"00:1B:DC:0F:A1:01", "Scanner", 235, -2, "1", 0, 0},
                     {"00:1B:DC:0F:A1:02", "Printer", 207, -4, "2", 0, 0},
                     {"00:1B:DC:0F:A1:03", "Handheld", 190, -11, "3", 0, 0}};
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
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
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
    std::string previous;
    for (const std::string& command : device.receivedCommands()) {
        if (command == "List") {
            ++refreshes;
            overlaps += previous == "List" ? 1 : 0;
        }
        previous = command;
    }
    const long endKb = residentKilobytes();
    std::printf("soak: %d s, %d refreshes, %d overlapping, %d of %d samples short of 3 rows, %d messages\n",
                seconds, refreshes, overlaps, shortSamples, samples,
                static_cast<int>(prompter.messages.size()));
    std::printf("soak: resident %ld kB after start, %ld kB at the end, peak %ld kB\n", startKb, endKb,
                peakKb);
    device.stop();
    return overlaps == 0 && shortSamples == 0 && prompter.messages.isEmpty() ? 0 : 1;
}
