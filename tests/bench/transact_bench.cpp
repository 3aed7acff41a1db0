#include "app/main_window.h"
#include "core/device_link.h"
#include "plain_link.h"
#include "recording_prompter.h"
#include "sim/simulated_device.h"
#include "ui/console_pane.h"
#include "ui/search_connect_window.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct NullTranscript : kvx::Transcript {
    void append(std::string_view) override {}
    void clear() override {}
};

std::unique_ptr<kvx::sim::SimulatedDevice> device() {
    kvx::sim::DeviceOptions options;
    options.discoveryPort = 0;
    auto d = std::make_unique<kvx::sim::SimulatedDevice>(options);
    if (!d->start())
        std::abort();
    return d;
}

void login(kvx::DeviceLink& link, std::uint16_t port) {
    NullTranscript t;
    link.create();
    link.connectTo("127.0.0.1", port);
    link.receiveOnce(100);
    link.transact("User admin\r\n", 1, t);
    link.transact("Pass admin\r\n", 1, t);
}

// The floor: the same bytes over a plain socket, read up to the reply's last line.
void rawRoundTrip(benchmark::State& state) {
    auto sim = device();
    kvx::test::PlainLink raw(sim->controlPort());
    for (auto _ : state)
        benchmark::DoNotOptimize(raw.exchange("Mode\r\n"));
}
BENCHMARK(rawRoundTrip)->UseRealTime();

void transact(benchmark::State& state) {
    auto sim = device();
    kvx::DeviceLink link;
    login(link, sim->controlPort());
    NullTranscript transcript;
    for (auto _ : state)
        benchmark::DoNotOptimize(link.transact("Mode\r\n", 1, transcript));
}
BENCHMARK(transact)->UseRealTime();

// As the pages see it: echoed into the console pane, with the busy cursor.
void transactThroughConsole(benchmark::State& state) {
    auto sim = device();
    kvx::DeviceLink link;
    login(link, sim->controlPort());
    kvx::ConsolePane console;
    for (auto _ : state)
        benchmark::DoNotOptimize(link.transact("Mode\r\n", 1, console));
}
BENCHMARK(transactThroughConsole)->UseRealTime();

// From the Connect click to the main window with its start-up loads done.
void connectToMainWindow(benchmark::State& state) {
    auto sim = device();
    kvx::test::RecordingPrompter prompter;
    for (auto _ : state) {
        kvx::MainWindowOptions options;
        options.prompter = &prompter;
        options.discoveryTarget = {"127.0.0.1", sim->discoveryPort()};
        options.askCredentials = [] {
            return std::optional<kvx::Credentials>(kvx::Credentials{"admin", "admin"});
        };
        kvx::MainWindow window(std::move(options));
        QElapsedTimer clock;
        QTimer::singleShot(0, &window, [&] {
            kvx::SearchConnectWindow* search = window.searchWindow();
            search->findChild<QLineEdit*>(QStringLiteral("ipAddressEdit"))
                ->setText(QStringLiteral("127.0.0.1"));
            search->findChild<QLineEdit*>(QStringLiteral("controlPortEdit"))
                ->setText(QString::number(sim->controlPort()));
            clock.start();
            search->findChild<QPushButton*>(QStringLiteral("connectButton"))->click();
        });
        if (!window.initialise())
            state.SkipWithError("could not connect");
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
    if (!prompter.messages.isEmpty())
        state.SkipWithError(prompter.messages.join(u'|').toStdString().c_str());
}
BENCHMARK(connectToMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

// From starting the manager's process to its search and connect window on screen.
void processStartToSearchWindow(benchmark::State& state) {
    for (auto _ : state) {
        int out[2];
        if (::pipe(out) != 0)
            std::abort();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        char arg0[] = "kvx100-tour";
        char arg1[] = "--startup-probe";
        char* argv[] = {arg0, arg1, nullptr};
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        QElapsedTimer clock;
        clock.start();
        pid_t pid = 0;
        if (posix_spawn(&pid, KVX_TOUR_PATH, &actions, nullptr, argv, environ) != 0)
            std::abort();
        ::close(out[1]);
        std::string seen;
        char buffer[256];
        ssize_t n;
        while (seen.find("search-window-shown") == std::string::npos &&
               (n = ::read(out[0], buffer, sizeof buffer)) > 0)
            seen.append(buffer, static_cast<std::size_t>(n));
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        ::close(out[0]);
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        posix_spawn_file_actions_destroy(&actions);
        if (seen.find("search-window-shown") == std::string::npos)
            state.SkipWithError("the window never showed");
    }
}
BENCHMARK(processStartToSearchWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
