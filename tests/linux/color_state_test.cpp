// What the library applied, read back after other programs and the system
// have had their turn, and put back: through the exports, on machines whose
// displays and monitors another program changes behind the library's back.
#include <windows.h>

#include <highlevelmonitorconfigurationapi.h>
#include <physicalmonitorenumerationapi.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "../shared/test_platform.h"
#include "desktop_test_machines.h"

namespace tw_test {

namespace {

using namespace std::chrono_literals;

constexpr const wchar_t* kPanel = L"\\\\.\\DISPLAY1";

sim::Machine& Machine() {
    return sim::Machine::Current();
}

// Another program loads the identity ramp, as a game leaving does.
void AnotherProgramLoadsIdentity() {
    sim::GammaRamp identity{};
    for (std::size_t i = 0; i < identity.size(); ++i) {
        identity[i] = static_cast<WORD>((i % 256) * 257);
    }
    const HDC dc = CreateDCW(nullptr, kPanel, nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(SetDeviceGammaRamp(dc, identity.data()));
    DeleteDC(dc);
}

// Another program (a monitor's own menu, a power cycle) sets the first
// physical monitor of the first display to 50 % everywhere.
void AnotherProgramSetsGains() {
    HMONITOR display = nullptr;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM found) -> BOOL {
            *reinterpret_cast<HMONITOR*>(found) = monitor;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&display));
    PHYSICAL_MONITOR monitor{};
    ASSERT_TRUE(GetPhysicalMonitorsFromHMONITOR(display, 1, &monitor));
    for (MC_GAIN_TYPE type : {MC_RED_GAIN, MC_GREEN_GAIN, MC_BLUE_GAIN}) {
        EXPECT_TRUE(SetMonitorRedGreenOrBlueGain(monitor.hPhysicalMonitor, type, 50));
    }
    DestroyPhysicalMonitors(1, &monitor);
}

void InstallMakersDesktop() {
    InstallDesktop({Display(1, {Monitor(kMakerMonitorId)}, {Physical("ORV Lumivex 27")})});
}

unsigned Drifted(int expectedResult = 0) {
    unsigned drifted = 0xDEAD;
    EXPECT_EQ(TW(VerifyColorState)(&drifted), expectedResult);
    return drifted;
}

}  // namespace

// Each road: what it reports while its target holds, after another program
// changed it, and after RestoreColorState.
TEST_F(ExportTest, EachRoadIsReadBackAndRestored) {
    struct Case {
        const char* name;
        std::function<void()> machine;
        std::function<void()> apply;
        std::function<void()> disturb;  // null: nothing else happens
        unsigned road;  // the bits looked at: the record keeps earlier cases' roads
        unsigned holding;
        unsigned disturbed;
    };
    const auto nvidia = [] { ASSERT_EQ(TW(SetTemperatureForNvidia)(1, 0.9f, 0.8f, 0, 1), 0); };
    const auto desktop = [] {
        const std::size_t before = Displays().GainWrites().size();
        ASSERT_EQ(TW(SetTemperatureForDesktopComputer)(0.9f, 0.8f, 0.7f, 0, 1), 0);
        ASSERT_TRUE(AwaitGainWrites(before + 3));
    };
    const Case cases[] = {
        {"nothing applied", [] {}, [] {}, nullptr, ~0u, 0, 0},
        {"gamma ramp", [] { InstallMachine({Adapter("Main", kPrimary)}); }, nvidia,
         AnotherProgramLoadsIdentity, TW_COLOR_STATE_GAMMA_RAMP, 0, TW_COLOR_STATE_GAMMA_RAMP},
        {"hardware library", [] {},
         [] { ASSERT_EQ(TW(SetTemperatureForIntel)(1, 0.9f, 0.8f, 0, 1), 0); }, nullptr,
         TW_COLOR_STATE_HARDWARE_LIBRARY, TW_COLOR_STATE_HARDWARE_LIBRARY, 0},
        {"DDC/CI gains", InstallMakersDesktop, desktop, AnotherProgramSetsGains,
         TW_COLOR_STATE_MONITOR_GAINS, 0, TW_COLOR_STATE_MONITOR_GAINS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.machine();
        c.apply();
        EXPECT_EQ(Drifted() & c.road, c.holding);
        if (!c.disturb) {
            continue;
        }
        c.disturb();
        EXPECT_EQ(Drifted() & c.road, c.disturbed);
        const std::size_t writes = Displays().GainWrites().size();
        EXPECT_EQ(TW(RestoreColorState)(), 0);
        if (c.disturbed == TW_COLOR_STATE_MONITOR_GAINS) {
            ASSERT_TRUE(AwaitGainWrites(writes + 3));
        }
        EXPECT_EQ(Drifted() & c.road, c.holding);
    }
}

TEST_F(ExportTest, WhatCannotBeReadIsNeverReportedAsHolding) {
    unsigned drifted = 0;
    EXPECT_EQ(TW(VerifyColorState)(nullptr), -1);
    EXPECT_TRUE(Logged(3, "drifted is nullptr!(VerifyColorState)"));

    InstallMachine({Adapter("Main", kPrimary)});
    ASSERT_EQ(TW(SetTemperatureForNvidia)(1, 0.9f, 0.8f, 0, 1), 0);
    Machine().FailCall("GetDeviceGammaRamp", ERROR_INVALID_PARAMETER, true);
    EXPECT_EQ(TW(VerifyColorState)(&drifted), -1);
    EXPECT_NE(drifted & TW_COLOR_STATE_GAMMA_RAMP, 0u);
    EXPECT_TRUE(Logged(3, "nothing the library applied could be read back(VerifyColorState)"));
}

// Restoring applies the changes again in the order they were made, so the
// later one is what the display shows.
TEST_F(ExportTest, RestoringKeepsTheOrderOfTheChanges) {
    InstallMachine({Adapter("Main", kPrimary)});
    ASSERT_EQ(TW(SetTemperatureForNvidia)(1, 0.5f, 0.5f, 0, 1), 0);
    ASSERT_EQ(TW(SetTemperatureForNvidia)(1, 0.9f, 0.8f, 0, 1), 0);
    const sim::GammaRamp applied = Displays().CurrentRamp(kPanel);
    AnotherProgramLoadsIdentity();
    EXPECT_EQ(TW(RestoreColorState)(), 0);
    EXPECT_EQ(Displays().CurrentRamp(kPanel), applied);
}

}  // namespace tw_test
