// The firmware road of a gamut switch: converting one table into the
// driver's form, a first switch to a mode (firmware read, digest, panel
// check, cache file, conversion, driver call) and a switch served from the
// converted table kept in memory.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "colorfield/lut_handle_3d.h"
#include "lut_block.h"
#include "scratch_machine.h"
#include "sim/intel_driver_model.h"
#include "sim/machine.h"

namespace {

constexpr int kP3 = 2;

void BM_ConvertOneTable(benchmark::State& state) {
    const auto table = lut_block::MakeTable(lut_block::PanelIdentity{}, kP3);
    std::vector<std::uint32_t> converted(LutHandle3D::kLutEntryCount);
    for (auto _ : state) {
        LutHandle3D::ConvertLutTable(table.data(), converted.data());
        benchmark::DoNotOptimize(converted.data());
    }
}
BENCHMARK(BM_ConvertOneTable);

void BM_FirstSwitchToMode(benchmark::State& state) {
    UseScratchMachine();
    const auto cacheFile =
        sim::Machine::Current().HostPath(L"C:\\ProgramData\\Vozaz\\OrvLumivex\\P3.bin");
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(cacheFile);
        sim::Machine::Current().IntelDriver().ForgetCalls();
        auto handle = std::make_unique<LutHandle3D>();
        state.ResumeTiming();
        if (!handle->SetDisplayerLut3D(kP3)) {
            state.SkipWithError("the switch failed");
            break;
        }
    }
}
BENCHMARK(BM_FirstSwitchToMode)->Unit(benchmark::kMicrosecond);

void BM_CachedSwitchToMode(benchmark::State& state) {
    UseScratchMachine();
    LutHandle3D handle;
    if (!handle.SetDisplayerLut3D(kP3)) {
        state.SkipWithError("the first switch failed");
        return;
    }
    constexpr int kCallsKept = 1024;
    int calls = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(handle.SetDisplayerLut3D(kP3));
        if (++calls % kCallsKept == 0) {
            state.PauseTiming();
            sim::Machine::Current().IntelDriver().ForgetCalls();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_CachedSwitchToMode)->Unit(benchmark::kMicrosecond);

}  // namespace
