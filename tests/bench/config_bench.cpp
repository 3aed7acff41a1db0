#include "core/config_backup.h"
#include "core/config_restore.h"
#include "core/procedure_progress.h"
#include "core/profile_file.h"
#include "link_session.h"
#include "plain_link.h"
#include "recording_prompter.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// The backup and the restore of a well-filled device (50 bound devices, 50 servers, 200 routes),
// each beside the same command lines sent over a plain socket, read up to the reply's last line.

namespace {

std::string address(int group, int n) {
    char text[18];
    std::snprintf(text, sizeof text, "00:1B:DC:%02X:%02X:%02X", group, n / 256, n % 256);
    return text;
}

void fill(kvx::test::LinkSession& device) {
    for (int n = 3; n < 50; ++n)
        device.ask("Bind " + address(1, n) + " " + std::to_string(9200 + n));
    for (int n = 2; n < 50; ++n)
        device.ask("Serv 10.0." + std::to_string(n) + ".1:9100 " + address(2, n));
    for (int from = 0; from < 49; ++from)
        device.ask("route add " + address(3, from) + " " + address(4, 4 * from) + " " +
                   address(4, 4 * from + 1) + " " + address(4, 4 * from + 2) + " " +
                   address(4, 4 * from + 3));
}

struct Fixture {
    Fixture() {
        fill(source);
        path = dir.filePath(QStringLiteral("bench.kcf"));
        backUp();
        for (const kvx::BackupQuery& query : kvx::backupQueries())
            backupLines.emplace_back(query.command);
        restoreLines.push_back("list\r\n");
        QString error;
        const std::optional<kvx::ProfileFile> file = kvx::ProfileFile::fromFile(path, error);
        if (!file)
            std::abort();
        for (const kvx::RestoreStep& step : kvx::restoreSteps(*file))
            restoreLines.push_back(step.command);
    }
    void backUp() {
        prompter.fileAnswers = {path};
        kvx::SilentProgress progress;
        if (kvx::ConfigBackup(source, prompter, progress).run() != kvx::ConfigBackup::Result::Completed)
            std::abort();
    }
    void restore() {
        prompter.fileAnswers = {path};
        kvx::SilentProgress progress;
        if (kvx::ConfigRestore(target, prompter, progress).run() != kvx::ConfigRestore::Result::Completed)
            std::abort();
    }

    kvx::test::LinkSession source;
    kvx::test::LinkSession target;
    kvx::test::RecordingPrompter prompter;
    QTemporaryDir dir;
    QString path;
    std::vector<std::string> backupLines;
    std::vector<std::string> restoreLines;
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void backup(benchmark::State& state) {
    for (auto _ : state)
        fixture().backUp();
}
BENCHMARK(backup)->UseRealTime()->Unit(benchmark::kMillisecond);

void backupRawRoundTrips(benchmark::State& state) {
    kvx::test::PlainLink raw(fixture().source.device().controlPort());
    for (auto _ : state)
        for (const std::string& line : fixture().backupLines)
            benchmark::DoNotOptimize(raw.exchange(line));
    state.counters["commands"] = double(fixture().backupLines.size());
}
BENCHMARK(backupRawRoundTrips)->UseRealTime()->Unit(benchmark::kMillisecond);

void restore(benchmark::State& state) {
    for (auto _ : state)
        fixture().restore();
}
BENCHMARK(restore)->UseRealTime()->Unit(benchmark::kMillisecond);

void restoreRawRoundTrips(benchmark::State& state) {
    kvx::test::PlainLink raw(fixture().target.device().controlPort());
    for (auto _ : state)
        for (const std::string& line : fixture().restoreLines)
            benchmark::DoNotOptimize(raw.exchange(line));
    state.counters["commands"] = double(fixture().restoreLines.size());
}
BENCHMARK(restoreRawRoundTrips)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
