// One colour enhancement switch builds the whole 17 x 17 x 17 table before
// it reaches the driver: this is the time the table adds to that call.
#include <benchmark/benchmark.h>

#include "temperature/color_enhance_table.h"

namespace {

void BM_BuildColorEnhanceTable(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildColorEnhanceTable(kIdentityColorMatrix));
    }
}
BENCHMARK(BM_BuildColorEnhanceTable)->Unit(benchmark::kMicrosecond);

}  // namespace
