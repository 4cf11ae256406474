// Every settings access reopens the INI file: these figures are what a
// front-end that polls its settings pays per value.
#include <benchmark/benchmark.h>

#include "scratch_machine.h"
#include "tintwell/tintwell.h"

namespace {

void BM_SetCircleR(benchmark::State& state) {
    UseScratchMachine();
    double value = 0.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SetCircleR(value));
        value += 1e-9;
    }
}
BENCHMARK(BM_SetCircleR);

void BM_GetCircleR(benchmark::State& state) {
    UseScratchMachine();
    SetCircleR(0.75);
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetCircleR(-1.0));
    }
}
BENCHMARK(BM_GetCircleR);

void BM_GetMissingKeyLogsLine(benchmark::State& state) {
    UseScratchMachine();
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetSensorLight(-1.0f));
    }
}
BENCHMARK(BM_GetMissingKeyLogsLine);

}  // namespace
