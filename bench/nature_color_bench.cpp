// Nature colour on the simulated laptop's Intel road. The work of one frame
// (settings reads and writes, the merge, the ramp, the driver call) must stay
// below 1 % of the 100 ms frame interval; a whole transition of 50 frames at
// 100 ms must end within 2 % of the ideal (50 + 1) x 100 ms on the real clock.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "naturecolor/natural_tone.h"
#include "scratch_machine.h"
#include "sim/intel_driver_model.h"
#include "sim/machine.h"
#include "sim/machine_clock.h"
#include "tintwell/tintwell.h"

namespace {

using Seconds = std::chrono::duration<double>;

constexpr unsigned int kFrames = 50;
constexpr unsigned int kIntervalMs = 100;
constexpr Seconds kInterval = std::chrono::milliseconds(kIntervalMs);
constexpr float kDiffThresh = 100.0f;
constexpr float kLowLuma = 4000.0f;
constexpr float kLuxThresh = 50.0f;
constexpr float kLux = 300.0f;
constexpr float kWarm = 5000.0f;
constexpr float kCool = 6000.0f;
constexpr double kPercent = 100.0;
// Each frame's ramp stays recorded in the machine: bound the frames.
constexpr benchmark::IterationCount kFrameIterations = 5000;
constexpr benchmark::IterationCount kTransitions = 3;
constexpr auto kWorkerPoll = std::chrono::milliseconds(1);

void PrepareNatureColour() {
    UseScratchMachine();
    ClearMappingInfo();
    AddCctMappingInfo(4000.0f, 1.0, 0.92, 0.84);
    AddCctMappingInfo(5000.0f, 1.0, 0.97, 0.95);
    AddCctMappingInfo(6500.0f, 0.95, 0.97, 1.0);
    SetNatureColorAll(kFrames, kIntervalMs, 0, kDiffThresh, kLowLuma, kLuxThresh);
    // The colour configuration a front-end keeps; a frame without it skips
    // the hardware.
    SetEyeProtect(0);
    SetBlueProtect(1000);
    SetCircleR(1.0);
    SetCircleG(1.0);
    SetCircleB(1.0);
    SetIsNatureColor(1);
    InitMonitorId();
}

std::size_t DriverRamps() {
    return sim::Machine::Current().IntelDriver().GammaRampCalls().size();
}

// Reports the share of the frame interval that one frame's work takes.
void BM_NatureFrame(benchmark::State& state) {
    PrepareNatureColour();
    const std::size_t rampsBefore = DriverRamps();
    float cct = kWarm;
    Seconds work{0};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(
            NaturalTone::Instance().SetTemperForEachDisplayCard(cct, kLux, true));
        work += std::chrono::steady_clock::now() - start;
        cct = cct < kCool ? cct + 1.0f : kWarm;
    }
    if (DriverRamps() - rampsBefore != static_cast<std::size_t>(state.iterations())) {
        state.SkipWithError("a frame did not reach the Intel driver");
    }
    state.counters["percent_of_interval"] =
        benchmark::Counter(work / kInterval * kPercent, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_NatureFrame)->Iterations(kFrameIterations)->Unit(benchmark::kMicrosecond);

void AwaitTransitionEnd() {
    while (NaturalTone::Instance().DimmingWorkerRunning()) {
        std::this_thread::sleep_for(kWorkerPoll);
    }
}

void BM_NatureTransition(benchmark::State& state) {
    PrepareNatureColour();
    sim::Machine::Current().Clock().SetMode(sim::MachineClock::Mode::Real);
    const Seconds ideal = (kFrames + 1) * kInterval;
    Seconds total{0};
    float target = kCool;
    for (auto _ : state) {
        AwaitTransitionEnd();
        const auto start = std::chrono::steady_clock::now();
        if (NaturalTone::Instance().StartCctDimming(target, kLux) != 0) {
            state.SkipWithError("the transition was refused");
            return;
        }
        AwaitTransitionEnd();
        const Seconds elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        total += elapsed;
        target = target == kCool ? kWarm : kCool;
    }
    state.counters["ratio_to_ideal"] =
        benchmark::Counter(total / ideal, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_NatureTransition)
    ->Iterations(kTransitions)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
