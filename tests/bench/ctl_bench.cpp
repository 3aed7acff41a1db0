#include "core/profile_file.h"
#include "ctl/command_line.h"
#include "fleet/convergence.h"
#include "private_file.h"
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
        if (kvx::test::writePrivateFile(dir, "password", "admin\n").isEmpty())
            std::abort();
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

// apply --replace on a device of N routes from one From address, the file trading one route for
// another: the plan's lines, and the device's routes kept to be put back, grow with N, not with N².
kvx::ProfileFile routeTable(std::size_t count, const std::string& last) {
    kvx::ProfileFile profile;
    for (std::size_t n = 0; n < count; ++n) {
        profile.write("ROUTE", std::to_string(n) + "From", "00:1B:DC:0F:A1:01");
        profile.write("ROUTE", std::to_string(n) + "To",
                      n + 1 == count ? last
                                     : "00:1B:DC:" + std::to_string(10 + n / 100) + ":" +
                                           std::to_string(10 + n % 100) + ":02");
    }
    profile.write("ROUTE", "SUM", std::to_string(count));
    return profile;
}

void planRoutes(benchmark::State& state) {
    const auto count = std::size_t(state.range(0));
    const kvx::ProfileFile device = routeTable(count, "00:1B:DC:0F:FF:01");
    const kvx::ProfileFile file = routeTable(count, "00:1B:DC:0F:FF:02");
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto differences = kvx::fleet::differencesOf(device, file, kvx::fleet::ListMatch::Exact);
        const kvx::fleet::ApplyPlan plan = kvx::fleet::planApply(device, file, differences);
        bytes = 0;
        for (const auto* steps : {&plan.steps, &plan.routesBack})
            for (const kvx::RestoreStep& step : *steps)
                bytes += step.command.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["plan_bytes"] = double(bytes);
}
BENCHMARK(planRoutes)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace
