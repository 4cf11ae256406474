// One request on the Intel road on the simulated laptop: the printer record,
// the hardware library call and the INI write, as a front-end slider pays it.
#include <benchmark/benchmark.h>

#include "scratch_machine.h"
#include "tintwell/tintwell.h"

namespace {

void BM_SetTemperatureForIntel(benchmark::State& state) {
    UseScratchMachine();
    float red = 1.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SetTemperatureForIntel(red, 0.9f, 0.8f, 40, 0.35));
        red = red > 0.5f ? red - 0.001f : 1.0f;
    }
}
BENCHMARK(BM_SetTemperatureForIntel);

}  // namespace
