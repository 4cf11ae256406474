// A monitor's red, green and blue gains read back over DDC/CI: what it came
// with, what an accepted write leaves, and the failures a caller meets.
#include <gtest/gtest.h>

#include <windows.h>
#include <highlevelmonitorconfigurationapi.h>
#include <physicalmonitorenumerationapi.h>

#include <optional>
#include <string>
#include <vector>

#include "desktop_test_machines.h"
#include "sim/display_model.h"

namespace tw_test {

namespace {

struct Write {
    MC_GAIN_TYPE gainType;
    DWORD value;
};

// A gain read of the one physical monitor after `writes`; `error` 0 means
// the read succeeds with `expected`.
struct GainCase {
    std::string name;
    nlohmann::json physical;
    std::vector<Write> writes;
    MC_GAIN_TYPE read = MC_RED_GAIN;
    DWORD error = 0;
    sim::MonitorGain expected{};
    std::optional<std::string> failingCall = {};
    bool staleHandle = false;
    bool nullCurrent = false;
};

constexpr DWORD kInjected = ERROR_ACCESS_DENIED;
const auto kInvalidGainType = static_cast<MC_GAIN_TYPE>(3);

std::vector<GainCase> GainCases() {
    const nlohmann::json plain = {{"description", "plain"}};
    const nlohmann::json described = {{"description", "described"},
                                      {"factoryGains", {80, 70, 60}},
                                      {"minimumGain", 10},
                                      {"maximumGain", 90}};
    return {
        {"factory default", plain, {}, MC_RED_GAIN, 0, {0, 50, 100}},
        {"described factory gain", described, {}, MC_GREEN_GAIN, 0, {10, 70, 90}},
        {"accepted write", plain, {{MC_BLUE_GAIN, 30}}, MC_BLUE_GAIN, 0, {0, 30, 100}},
        {"other colour untouched", plain, {{MC_BLUE_GAIN, 30}}, MC_RED_GAIN, 0, {0, 50, 100}},
        {"above the maximum", described, {{MC_RED_GAIN, 120}}, MC_RED_GAIN, 0, {10, 90, 90}},
        {"below the minimum", described, {{MC_RED_GAIN, 0}}, MC_RED_GAIN, 0, {10, 10, 90}},
        {"refused write",
         plain,
         {{MC_RED_GAIN, 30}},
         MC_RED_GAIN,
         0,
         {0, 50, 100},
         "SetMonitorRedGreenOrBlueGain"},
        {"injected failure", plain, {}, MC_RED_GAIN, kInjected, {}, "GetMonitorRedGreenOrBlueGain"},
        {"destroyed handle", plain, {}, MC_RED_GAIN, ERROR_INVALID_HANDLE, {}, {}, true},
        {"no gain type", plain, {}, kInvalidGainType, ERROR_INVALID_PARAMETER},
        {"null pointer", plain, {}, MC_RED_GAIN, ERROR_INVALID_PARAMETER, {}, {}, false, true},
    };
}

PHYSICAL_MONITOR OpenOnlyMonitor() {
    const HMONITOR display = Displays().DesktopMonitors().at(0).handle;
    PHYSICAL_MONITOR monitor{};
    EXPECT_TRUE(GetPhysicalMonitorsFromHMONITOR(display, 1, &monitor));
    return monitor;
}

}  // namespace

TEST(MonitorGain, ReadsAnswerTheMonitorsCurrentGain) {
    for (const GainCase& c : GainCases()) {
        SCOPED_TRACE(c.name);
        InstallDesktop({Display(1, {Monitor(kMakerMonitorId)}, {c.physical})});
        PHYSICAL_MONITOR monitor = OpenOnlyMonitor();
        if (c.failingCall) {
            sim::Machine::Current().FailCall(*c.failingCall, kInjected, true);
        }
        for (const Write& write : c.writes) {
            SetMonitorRedGreenOrBlueGain(monitor.hPhysicalMonitor, write.gainType, write.value);
        }
        if (c.staleHandle) {
            ASSERT_TRUE(DestroyPhysicalMonitors(1, &monitor));
        }
        sim::MonitorGain read{};
        SetLastError(0);
        const BOOL answered =
            GetMonitorRedGreenOrBlueGain(monitor.hPhysicalMonitor, c.read, &read.minimum,
                                         c.nullCurrent ? nullptr : &read.current, &read.maximum);
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(answered != FALSE, c.error == 0);
        EXPECT_EQ(read.minimum, c.expected.minimum);
        EXPECT_EQ(read.current, c.expected.current);
        EXPECT_EQ(read.maximum, c.expected.maximum);
    }
}

}  // namespace tw_test
