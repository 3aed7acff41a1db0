#include "ctl/command_line.h"
#include "sim/simulated_device.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <sstream>

// The backup of 50 simulated devices from the command line, 8 at a time beside one after another.

namespace {

constexpr int kDevices = 50;

struct Fleet {
    Fleet() {
        QFile password(dir.filePath(QStringLiteral("password")));
        if (!password.open(QIODevice::WriteOnly))
            std::abort();
        password.write("admin\n");
        password.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        for (int i = 0; i < kDevices; ++i) {
            kvx::sim::DeviceOptions options;
            options.discoveryPort = 0;
            auto device = std::make_unique<kvx::sim::SimulatedDevice>(options);
            if (!device->start())
                std::abort();
            hosts << QStringLiteral("127.0.0.1:%1").arg(device->controlPort());
            devices.push_back(std::move(device));
        }
    }
    QTemporaryDir dir;
    QStringList hosts;
    std::vector<std::unique_ptr<kvx::sim::SimulatedDevice>> devices;
};

Fleet& fleet() {
    static Fleet f;
    return f;
}

void backupFleet(benchmark::State& state) {
    Fleet& f = fleet();
    const QString folder = f.dir.filePath(QStringLiteral("backups"));
    QDir().mkpath(folder);
    const QStringList arguments = QStringList{QStringLiteral("kvx100ctl"), QStringLiteral("backup")} +
                                  f.hosts +
                                  QStringList{folder,
                                              QStringLiteral("--user"),
                                              QStringLiteral("admin"),
                                              QStringLiteral("--password-file"),
                                              f.dir.filePath(QStringLiteral("password")),
                                              QStringLiteral("--parallel"),
                                              QString::number(state.range(0))};
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        kvx::ctl::Console console{out, err, false, {}, {}};
        if (kvx::ctl::runCommandLine(arguments, console) != kvx::ctl::kExitOk)
            state.SkipWithError(err.str().c_str());
    }
    state.counters["devices"] = kDevices;
}
BENCHMARK(backupFleet)->Arg(1)->Arg(8)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
