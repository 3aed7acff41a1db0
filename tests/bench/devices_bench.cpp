#include "app/device_list_model.h"
#include "app/devices_window.h"
#include "app/keyring.h"
#include "ctl/command_line.h"
#include "private_file.h"
#include "recording_prompter.h"
#include "sim/fleet.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>
#include <sstream>
#include <sys/resource.h>

// A refresh of a whole inventory in the Devices window beside `kvx100ctl info` over the same devices:
// the window's wall time, the longest the event loop stood still (the longest the window could not have
// painted or taken input), how often the list was painted and the process's peak memory. By default 16
// simulated devices in this process; scripts/bench-fleet gives an inventory of its simulators
// (KVX_BENCH_INVENTORY, with KVX_BENCH_DISCOVERY_PORT and KVX_BENCH_PARALLEL).

namespace {

class NoKeyring : public kvx::Keyring {
public:
    bool available() const override { return false; }
    kvx::KeyringResult load(const QString&) override { return {}; }
    kvx::KeyringResult store(const QString&, const kvx::Credentials&) override { return {}; }
    kvx::KeyringResult forget(const QString&) override { return {}; }
};

struct Devices {
    Devices() {
        if (kvx::test::writePrivateFile(dir, "password", "admin\n").isEmpty())
            std::abort();
        inventory = qEnvironmentVariable("KVX_BENCH_INVENTORY");
        discoveryPort = std::uint16_t(qEnvironmentVariableIntValue("KVX_BENCH_DISCOVERY_PORT"));
        if (const int p = qEnvironmentVariableIntValue("KVX_BENCH_PARALLEL"); p > 0)
            parallel = p;
        if (!inventory.isEmpty())
            return;
        // Addresses of their own, so that no other test's devices answer these probes.
        kvx::sim::DeviceOptions first;
        first.bindAddress = "127.77.0.1";
        first.controlPort = 29000;
        first.discoveryPort = discoveryPort = 29097;
        kvx::sim::FaultOptions faults;
        faults.replyDelay = std::chrono::milliseconds(5);
        fleet = std::make_unique<kvx::sim::Fleet>(first, 16);
        if (!fleet->start(faults))
            std::abort();
        QFile file(dir.filePath(QStringLiteral("fleet.ini")));
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write("[bench]\n");
        for (std::size_t i = 0; i < fleet->size(); ++i)
            file.write(QStringLiteral("%1:29000 user=admin password_file=%2\n")
                           .arg(QString::fromStdString(fleet->options(i).bindAddress),
                                dir.filePath(QStringLiteral("password")))
                           .toUtf8());
        inventory = file.fileName();
    }
    QTemporaryDir dir;
    std::unique_ptr<kvx::sim::Fleet> fleet;
    QString inventory;
    std::uint16_t discoveryPort = 0;
    int parallel = 8;
};

Devices& devices() {
    static Devices d;
    return d;
}

// The longest time between two turns of the event loop, and how often `painted` was painted.
class GapMeter : public QObject {
public:
    explicit GapMeter(QObject* painted) {
        painted->installEventFilter(this);
        connect(&m_tick, &QTimer::timeout, this,
                [this] { m_longestStall = std::max(m_longestStall, lap(m_lastTick)); });
        m_tick.setTimerType(Qt::PreciseTimer);
        m_tick.start(5);
        m_clock.start();
    }
    qint64 longestStall() const { return m_longestStall; }
    int paints() const { return m_paints; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        m_paints += event->type() == QEvent::Paint;
        return false;
    }

private:
    qint64 lap(qint64& last) const {
        const qint64 now = m_clock.elapsed();
        const qint64 gap = now - last;
        last = now;
        return gap;
    }
    QElapsedTimer m_clock;
    QTimer m_tick;
    qint64 m_lastTick = 0;
    qint64 m_longestStall = 0;
    int m_paints = 0;
};

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void refreshInTheWindow(benchmark::State& state) {
    Devices& d = devices();
    kvx::test::RecordingPrompter prompter;
    double windowSeconds = 0;
    double ctlSeconds = 0;
    int rows = 0;
    for (auto _ : state) {
        kvx::DevicesWindowOptions options;
        options.prompter = &prompter;
        options.keyring = std::make_unique<NoKeyring>();
        options.discoveryTarget.port = d.discoveryPort;
        kvx::DevicesWindow window(std::move(options));
        window.resize(1000, 700);
        window.show();
        if (!window.openInventory(d.inventory)) {
            state.SkipWithError(prompter.messages.join(u' ').toStdString().c_str());
            return;
        }
        window.findChild<QSpinBox*>(QStringLiteral("parallelBox"))->setValue(d.parallel);
        GapMeter meter(window.list()->viewport());
        QEventLoop loop;
        QObject::connect(&window, &kvx::DevicesWindow::idle, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        clock.start();
        window.refresh();
        loop.exec();
        windowSeconds = clock.nsecsElapsed() / 1e9;
        rows = window.model()->rowCount();
        for (const kvx::DeviceRow& row : window.model()->rows())
            if (row.state != kvx::DeviceRow::State::Done) {
                state.SkipWithError(("a device failed: " + row.result.toStdString()).c_str());
                return;
            }
        state.counters["longest_stall_ms"] = double(meter.longestStall());
        state.counters["paints"] = meter.paints();
        state.counters["peak_MB"] = peakMegabytes();

        // The same devices from the command line, after the window so that its peak is the window's.
        std::ostringstream out;
        std::ostringstream err;
        kvx::ctl::Console console{out, err, false, {}, {}};
        clock.restart();
        const int status = kvx::ctl::runCommandLine(
            {QStringLiteral("kvx100ctl"), QStringLiteral("info"), QStringLiteral("--inventory"), d.inventory,
             QStringLiteral("--parallel"), QString::number(d.parallel), QStringLiteral("--discovery-port"),
             QString::number(d.discoveryPort)},
            console);
        ctlSeconds = clock.nsecsElapsed() / 1e9;
        if (status != kvx::ctl::kExitOk)
            state.SkipWithError(err.str().c_str());
    }
    state.counters["devices"] = rows;
    state.counters["parallel"] = d.parallel;
    state.counters["window_s"] = windowSeconds;
    state.counters["kvx100ctl_s"] = ctlSeconds;
    state.counters["window_per_kvx100ctl"] = ctlSeconds > 0 ? windowSeconds / ctlSeconds : 0;
}

} // namespace

BENCHMARK(refreshInTheWindow)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
