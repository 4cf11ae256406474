// Every settings access reopens the INI file: these figures are what a
// front-end that polls its settings pays per value.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "tintwell/tintwell.h"

namespace {

void UseScratchRoot() {
    static const std::filesystem::path root = [] {
        auto path = std::filesystem::temp_directory_path() / "tintwell-bench";
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path / "C/ProgramData/Vozaz/OrvLumivex");
        setenv("TINTWELL_ROOT", path.c_str(), 1);
        setenv("TINTWELL_LOG_FILE", (path / "bench.log").c_str(), 1);
        return path;
    }();
}

void BM_SetCircleR(benchmark::State& state) {
    UseScratchRoot();
    double value = 0.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SetCircleR(value));
        value += 1e-9;
    }
}
BENCHMARK(BM_SetCircleR);

void BM_GetCircleR(benchmark::State& state) {
    UseScratchRoot();
    SetCircleR(0.75);
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetCircleR(-1.0));
    }
}
BENCHMARK(BM_GetCircleR);

void BM_GetMissingKeyLogsLine(benchmark::State& state) {
    UseScratchRoot();
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetSensorLight(-1.0f));
    }
}
BENCHMARK(BM_GetMissingKeyLogsLine);

}  // namespace
