#include "private_settings.h"

#include <QApplication>
#include <benchmark/benchmark.h>

// Some benchmarks build windows, so every one runs with an application object (offscreen in ctest).
int main(int argc, char** argv) {
    const kvx::test::PrivateSettings settings;
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
