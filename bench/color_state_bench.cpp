// One verify pass reads back every target the library applied: on the
// built-in laptop one display's ramp, on the three-monitor desktop three
// ramps-worth of displays and the DDC/CI gains of every served monitor. The
// target is below 1 ms of CPU on the laptop. The guard's idle cost is its
// passes' CPU when nothing drifts, given per minute at a 1 s interval.
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "scratch_machine.h"
#include "sim/display_model.h"
#include "sim/machine.h"
#include "tintwell/tintwell.h"

namespace {

constexpr auto kPatience = std::chrono::seconds(20);

void InstallExample(const std::string& file, const char* clock) {
    std::ifstream in(std::string(TINTWELL_EXAMPLE_MACHINES) + "/" + file);
    nlohmann::json description = nlohmann::json::parse(in);
    description["clock"] = clock;
    sim::Machine::Install(sim::Machine::FromJson(description));
}

// The ramp on the first display and, on a desktop, the gains the worker
// sends to the served monitors.
bool ApplyEverywhere() {
    auto& displays = sim::Machine::Current().Displays();
    const std::size_t writes = displays.GainWrites().size();
    if (SetTemperatureForNvidia(1.0f, 0.9f, 0.8f, 0, 1.0) != 0 ||
        SetTemperatureForDesktopComputer(0.9f, 0.8f, 0.7f, 0, 1.0) != 0) {
        return false;
    }
    if (!IsDesktopComputer()) {
        return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (displays.GainWrites().size() < writes + 3) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void BM_VerifyColorState(benchmark::State& state, const std::string& machine) {
    UseScratchMachine();
    InstallExample(machine, "virtual");
    if (!ApplyEverywhere()) {
        state.SkipWithError("the roads did not apply");
        return;
    }
    unsigned drifted = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(VerifyColorState(&drifted));
    }
    if ((drifted & TW_COLOR_STATE_DRIFTED) != 0) {
        state.SkipWithError("a road drifted on an undisturbed machine");
    }
}
BENCHMARK_CAPTURE(BM_VerifyColorState, laptop, std::string("default-laptop.json"))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_VerifyColorState, three_monitor_desktop,
                  std::string("desktop-three-monitors.json"))
    ->Unit(benchmark::kMicrosecond);

double ProcessCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Two seconds of the guard at 100 ms on the real clock, nothing drifting.
void BM_GuardIdleCpu(benchmark::State& state) {
    constexpr unsigned kInterval = 100;
    constexpr auto kRun = std::chrono::seconds(2);
    UseScratchMachine();
    InstallExample("desktop-three-monitors.json", "real");
    if (!ApplyEverywhere()) {
        state.SkipWithError("the roads did not apply");
        return;
    }
    double cpuMs = 0;
    for (auto _ : state) {
        const double before = ProcessCpuMs();
        StartColorStateGuard(kInterval);
        std::this_thread::sleep_for(kRun);
        StopColorStateGuard();
        cpuMs += ProcessCpuMs() - before;
    }
    const double passes = static_cast<double>(state.iterations()) *
                          std::chrono::duration<double, std::milli>(kRun).count() / kInterval;
    state.counters["cpu_ms_per_pass"] = cpuMs / passes;
    state.counters["cpu_ms_per_minute_at_1s"] = cpuMs / passes * 60;
}
BENCHMARK(BM_GuardIdleCpu)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
