// A fast slider or a dimming sequence posts far more requests than the
// monitors can take (each served monitor costs 150 ms of DDC/CI pauses). The
// worker must drop the superseded ones, and the caller must not wait for the
// monitors: 1,000 requests posted at once against two served monitors on the
// real clock give at most two applications after the first.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include <nlohmann/json.hpp>

#include "discovery/display_detection.h"
#include "sim/display_model.h"
#include "sim/machine.h"
#include "temperature/desktop_monitor_worker.h"

namespace {

constexpr int kRequests = 1000;
constexpr int kWritesPerApplication = 6;  // three gains to each of two monitors
constexpr int kMostApplications = 3;

nlohmann::json MakersDisplay(int number) {
    const nlohmann::json makersMonitor = {
        {"deviceId", "MONITOR\\ORV2016\\{4d36e96e-e325-11ce-bfc1-08002be10318}\\0001"},
        {"stateFlags", 3}};
    return {{"deviceName", "\\\\.\\DISPLAY" + std::to_string(number)},
            {"stateFlags", 1},
            {"monitors", nlohmann::json::array({makersMonitor})}};
}

void InstallTwoServedMonitors() {
    sim::Machine::Install(sim::Machine::FromJson(
        {{"clock", "real"}, {"displays", {{"adapters", {MakersDisplay(1), MakersDisplay(2)}}}}}));
}

std::unique_ptr<DesktopMonitorWorker> MakeWorker() {
    return std::make_unique<DesktopMonitorWorker>([] {
        std::vector<DisplayDeviceRecord> list;
        discovery::BuildDisplayDeviceList(list);
        return list;
    });
}

void BM_DesktopCoalescing(benchmark::State& state) {
    InstallTwoServedMonitors();
    auto& displays = sim::Machine::Current().Displays();
    std::size_t applications = 0;
    std::chrono::nanoseconds posting{0};
    for (auto _ : state) {
        const std::size_t writesBefore = displays.GainWrites().size();
        auto worker = MakeWorker();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kRequests; ++i) {
            worker->Post({1.0f, static_cast<float>(i) / kRequests, 0.5f, 0, 1.0});
        }
        const auto elapsed = std::chrono::steady_clock::now() - start;
        posting += elapsed;
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
        worker.reset();  // joined: every application has ended
        const std::size_t made =
            (displays.GainWrites().size() - writesBefore) / kWritesPerApplication;
        if (made > kMostApplications) {
            state.SkipWithError("superseded requests were applied");
        }
        applications += made;
    }
    const double posts = static_cast<double>(kRequests) * static_cast<double>(state.iterations());
    state.counters["requests_posted"] =
        benchmark::Counter(posts, benchmark::Counter::kAvgIterations);
    state.counters["applications"] =
        benchmark::Counter(static_cast<double>(applications), benchmark::Counter::kAvgIterations);
    state.counters["caller_ns_per_post"] = static_cast<double>(posting.count()) / posts;
    // The benchmarks after this one measure the built-in laptop's roads.
    sim::Machine::Install(sim::Machine::BuiltInDefault());
}
BENCHMARK(BM_DesktopCoalescing)->UseManualTime()->Iterations(3)->Unit(benchmark::kMicrosecond);

}  // namespace
