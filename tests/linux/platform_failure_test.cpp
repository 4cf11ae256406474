// Every platform call the library makes fails, once and then always, on
// every example machine. The calls come from the machine itself: a first
// run of the workload lists each call it was asked to answer, so a call the
// library starts using later is swept without a new case. Each case runs in
// a child process: the exports answer what they answered without the fault
// or one of their failure results, a failure that reaches the caller leaves
// a log line, and every handle, COM reference, library and leak count is
// back where the faultless run left it.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../shared/test_platform.h"
#include "child_case.h"
#include "example_machine.h"
#include "sim/adl_model.h"
#include "sim/color_model.h"
#include "sim/com_runtime.h"
#include "sim/display_model.h"
#include "sim/intel_driver_model.h"
#include "sim/machine.h"
#include "sim/registry_model.h"
#include "sim/sensor_model.h"

namespace tw_test {

namespace {

namespace fs = std::filesystem;

constexpr std::chrono::seconds kCaseLimit{10};
constexpr std::chrono::milliseconds kWorkerPatience{3000};

// One export of the workload and what it may answer when a call it makes
// fails: a failure result, which the log or the debugger output must show
// unless the export is a quiet getter, or another success.
struct Step {
    const char* name;
    std::function<int()> call;
    std::set<int> failures;
    std::set<int> successes = {0};
    bool quiet = false;
};

int Fixed(double value) {
    return static_cast<int>(value * 1000);
}

std::vector<Step> Workload() {
    static char text[1024];
    return {
        {"GetDisplayType", [] { return TW(GetDisplayType)(); }, {-1, 3}, {}, true},
        {"GetPhyMonitorCount", [] { return TW(GetPhyMonitorCount)(); }, {0}, {}, true},
        {"GetDeviceType", [] { return (TW(GetDeviceType)(text), 0); }, {}},
        {"IsDesktopComputer",
         [] { return static_cast<int>(TW(IsDesktopComputer)()); },
         {0},
         {},
         true},
        {"HaveOrvMonitor", [] { return static_cast<int>(TW(HaveOrvMonitor)()); }, {0}, {}, true},
        {"InitMonitorId", [] { return (TW(InitMonitorId)(), 0); }, {}},
        {"SetCircleR", [] { return TW(SetCircleR)(0.5); }, {-1}},
        {"GetCircleR", [] { return Fixed(TW(GetCircleR)(-1.0)); }, {Fixed(-1.0)}, {}, true},
        {"SetTemperatureForIntel",
         [] { return TW(SetTemperatureForIntel)(0.9f, 0.8f, 0.7f, 0, 1); },
         {-101}},
        {"SetTemperatureForNvidia",
         [] { return TW(SetTemperatureForNvidia)(0.9f, 0.8f, 0.7f, 0, 1); },
         {-1}},
        {"SetColorEnhance", [] { return TW(SetColorEnhance)(true); }, {-2, -4, -7, -101}},
        {"InitAdlGamut", [] { return (TW(InitAdlGamut)(), 0); }, {}},
        {"SetTemperatureForAMD",
         [] { return TW(SetTemperatureForAMD)(0.9f, 0.8f, 0.7f, 0, 1); },
         {-1}},
        {"InitWhitePointInfo", [] { return TW(InitWhitePointInfo)(); }, {-1}},
        {"SetWhitePointForIntel", [] { return TW(SetWhitePointForIntel)(); }, {-1}},
        {"SetWhitePointForAmd", [] { return TW(SetWhitePointForAmd)(); }, {-1}},
        {"UninitAdlGamut", [] { return (TW(UninitAdlGamut)(), 0); }, {}},
        {"SetColorFieldMode",
         [] { return TW(SetColorFieldMode)(1, kExampleProfile, kExampleDigest); },
         {1, 2, 3}},
        {"GetCurrentIccFileName", [] { return TW(GetCurrentIccFileName)(text); }, {-1}},
        {"IsLcdChanged", [] { return TW(IsLcdChanged)(2, 1); }, {0, -1}, {}, true},
        {"SetDisplayerColorField", [] { return TW(SetDisplayerColorField)(2, 1); }, {3}},
        {"ResetDisplayerLut3D", [] { return TW(ResetDisplayerLut3D)(); }, {-1}},
        {"GetDpStatus", [] { return TW(GetDpStatus)(); }, {-1}, {}, true},
        {"StartMonitorNatureColor", [] { return TW(StartMonitorNatureColor)(0); }, {-1}},
        {"UninstallNatureColorObject", [] { return TW(UninstallNatureColorObject)(0); }, {-1}},
        {"SetTemperatureForDesktopComputer",
         [] { return TW(SetTemperatureForDesktopComputer)(0.9f, 0.8f, 0.7f, 0, 1); },
         {}},
    };
}

// What the library holds of the machine: handles, references and modules.
struct Holding {
    const char* name;
    long count;
    long kept = 0;  // what a fault may leave held by design
};

std::vector<Holding> Holdings() {
    sim::Machine& machine = sim::Machine::Current();
    sim::DisplayModel& displays = machine.Displays();
    return {
        {"dc", static_cast<long>(displays.OpenDcCount())},
        {"physical monitors", static_cast<long>(displays.OpenPhysicalMonitorCount())},
        {"gdi32", displays.LibraryReferences(sim::SystemLibrary::Gdi32)},
        {"dxva2", displays.LibraryReferences(sim::SystemLibrary::Dxva2)},
        {"mscms", displays.LibraryReferences(sim::SystemLibrary::Mscms)},
        {"keys", static_cast<long>(machine.Registry().OpenKeyCount())},
        {"profiles", static_cast<long>(machine.Colors().OpenProfileCount())},
        // A failed initialisation keeps the module until the next one.
        {"adl", machine.Adl().ModuleReferences(), 1},
        {"driver objects", machine.IntelDriver().LiveObjects()},
        {"driver references", machine.IntelDriver().OutstandingReferences()},
        {"sensor objects", machine.Sensors().LiveObjects()},
        {"mta", sim::MtaUsages()},
    };
}

std::string HoldingsText(const std::vector<long>& counts) {
    const std::vector<Holding> names = Holdings();
    std::string text;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        text += std::string(names[i].name) + " " + std::to_string(counts[i]) + ", ";
    }
    return text;
}

std::vector<long> Counts() {
    std::vector<long> counts;
    for (const Holding& holding : Holdings()) {
        counts.push_back(holding.count);
    }
    return counts;
}

// A fault may leave the library holding less than the faultless run (the
// Intel driver's interface is kept for the process once made), never more.
bool HoldsNoMoreThan(const std::vector<long>& counts, const std::vector<long>& limit) {
    const std::vector<Holding> holdings = Holdings();
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (counts[i] > std::max(limit[i], holdings[i].kept)) {
            return false;
        }
    }
    return true;
}

// The desktop road's worker may still be sending when the last export
// returns; its handles count once it is done.
std::vector<long> HoldingsOnceSettled(const std::vector<long>& limit) {
    std::vector<long> now;
    AwaitCondition([&] { return HoldsNoMoreThan(now = Counts(), limit); }, kWorkerPatience);
    return now;
}

// Error lines of the log file and lines to the debugger: either way a
// failure can be seen.
std::size_t ErrorLines(const fs::path& log) {
    std::ifstream in(log);
    std::size_t count = sim::Machine::Current().DebugOutput().size();
    for (std::string line; std::getline(in, line);) {
        count += line.find(" [3] ") != std::string::npos;
    }
    return count;
}

struct Baseline {
    std::vector<int> results;
    std::vector<std::string> calls;
    std::vector<long> holdings;
};

// The workload without a fault: its results, the calls it made, what it
// holds at the end.
Baseline RunFaultless(const std::string& machineFile) {
    const ChildOutcome outcome = RunInChild(
        [&] {
            InstallExampleMachine(machineFile);
            std::ostringstream report;
            for (const Step& step : Workload()) {
                report << step.call() << ' ';
            }
            report << '\n';
            for (long count : HoldingsOnceSettled(std::vector<long>(Holdings().size(), 0))) {
                report << count << ' ';
            }
            report << '\n';
            for (const std::string& call : sim::Machine::Current().CallsMade()) {
                report << call << '\n';
            }
            return report.str();
        },
        kCaseLimit);
    Baseline baseline;
    if (!outcome.finished || outcome.status != 0) {
        ADD_FAILURE() << machineFile << ": the faultless run " << outcome.Describe();
        return baseline;
    }
    std::istringstream in(outcome.report);
    std::string line;
    std::getline(in, line);
    std::istringstream results(line);
    for (int result; results >> result;) {
        baseline.results.push_back(result);
    }
    std::getline(in, line);
    std::istringstream holdings(line);
    for (long count; holdings >> count;) {
        baseline.holdings.push_back(count);
    }
    while (std::getline(in, line)) {
        baseline.calls.push_back(line);
    }
    return baseline;
}

// A handle whose release failed stays counted: there is nothing the
// library could do about it.
bool IsRelease(const std::string& call) {
    return call.find("Close") != std::string::npos || call.find("Destroy") != std::string::npos ||
           call.find("Release") != std::string::npos || call.find("Free") != std::string::npos;
}

std::string RunFaulty(const std::string& machineFile, const Baseline& baseline,
                      const std::string& call, bool always) {
    InstallExampleMachine(machineFile);
    sim::Machine::Current().FailCall(call, ERROR_ACCESS_DENIED, always);
    const fs::path log = getenv("TINTWELL_LOG_FILE");
    const std::vector<Step> steps = Workload();
    std::string report;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const std::size_t errors = ErrorLines(log);
        const int result = steps[i].call();
        const Step& step = steps[i];
        if (result == baseline.results[i] || step.successes.count(result) != 0) {
            continue;
        }
        if (step.failures.count(result) == 0) {
            report += std::string(step.name) + " answered " + std::to_string(result) + "; ";
        } else if (!step.quiet && ErrorLines(log) == errors) {
            report += std::string(step.name) + " failed without a log line; ";
        }
    }
    const std::vector<long> holdings = HoldingsOnceSettled(baseline.holdings);
    if (!IsRelease(call) && !HoldsNoMoreThan(holdings, baseline.holdings)) {
        report += "holds " + HoldingsText(holdings) + "where the faultless run held " +
                  HoldingsText(baseline.holdings);
    }
    return report;
}

class PlatformFailure : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(PlatformFailure, EveryCallFailsOnceAndAlways) {
    const Baseline baseline = RunFaultless(GetParam());
    ASSERT_EQ(baseline.results.size(), Workload().size());
    ASSERT_FALSE(baseline.calls.empty());
    std::size_t cases = 0;
    for (const std::string& call : baseline.calls) {
        for (bool always : {false, true}) {
            const ChildOutcome outcome = RunInChild(
                [&] { return RunFaulty(GetParam(), baseline, call, always); }, kCaseLimit);
            EXPECT_TRUE(outcome.Passed())
                << call << (always ? " always" : " once") << ": " << outcome.Describe();
            ++cases;
        }
    }
    std::cout << GetParam() << ": " << baseline.calls.size() << " calls, " << cases
              << " fault cases; at rest: " << HoldingsText(baseline.holdings) << "\n";
}

INSTANTIATE_TEST_SUITE_P(ExampleMachines, PlatformFailure,
                         ::testing::ValuesIn(ExampleMachineFiles()), ExampleMachineName);

}  // namespace tw_test
