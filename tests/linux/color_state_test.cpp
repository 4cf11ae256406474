// What the library applied, read back after other programs and the system
// have had their turn, and put back: through the exports, on machines whose
// displays and monitors another program changes behind the library's back.
#include <windows.h>

#include <highlevelmonitorconfigurationapi.h>
#include <physicalmonitorenumerationapi.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "../shared/test_platform.h"
#include "desktop_test_machines.h"
#include "sim/error_codes.h"
#include "sim/machine_clock.h"

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
        unsigned road;                  // the bits looked at: the record keeps earlier cases' roads
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

namespace {

constexpr unsigned kGuardInterval = 100;
constexpr auto kGuardPatience = 15s;
constexpr char kDrifted[] = "The gamma ramp of \\\\.\\DISPLAY1 drifted";
constexpr char kPutBack[] = "The gamma ramp of \\\\.\\DISPLAY1 is put back";

// The guard paces itself on the machine clock: real time here.
void InstallRealTimeLaptop() {
    InstallDescription(
        {{"clock", "real"}, {"displays", {{"adapters", {Adapter("Main", kPrimary)}}}}});
}

void InstallRealTimeMakersDesktop() {
    InstallDescription(
        {{"clock", "real"},
         {"system", {{"chassisType", kDesktopChassis}}},
         {"displays",
          {{"adapters", {Display(1, {Monitor(kMakerMonitorId)}, {Physical("ORV Lumivex 27")})}}}}});
}

std::size_t CountLogged(std::string_view part) {
    std::size_t count = 0;
    for (const auto& record : ExportTest::LogRecords()) {
        count += record.text.find(part) != std::string::npos ? 1 : 0;
    }
    return count;
}

bool RampIs(const sim::GammaRamp& ramp) {
    return AwaitCondition([&] { return Displays().CurrentRamp(kPanel) == ramp; }, kGuardPatience);
}

DWORD CurrentRed() {
    const auto gain = Displays().Gain({kPanel, 0}, MC_RED_GAIN);
    return gain ? gain->current : 0;
}

}  // namespace

// What drifts is put back within an interval or so; a monitor that wakes up
// deaf to DDC/CI is tried again until it answers.
TEST_F(ExportTest, TheGuardPutsBackWhatDrifted) {
    struct Case {
        const char* name;
        std::function<void()> machine;
        std::function<void()> apply;
        std::function<void()> disturb;
        // Given the panel's ramp before the disturbance.
        std::function<bool(const sim::GammaRamp&)> restored;
        std::string logged;
    };
    const Case cases[] = {
        {"another program's ramp", InstallRealTimeLaptop,
         [] { ASSERT_EQ(TW(SetTemperatureForNvidia)(1, 0.9f, 0.8f, 0, 1), 0); },
         AnotherProgramLoadsIdentity, RampIs, kPutBack},
        {"Windows resets the ramps", InstallRealTimeLaptop,
         [] { ASSERT_EQ(TW(SetTemperatureForNvidia)(1, 0.5f, 0.5f, 0, 1), 0); },
         [] { Displays().ResetRamps(); }, RampIs, kPutBack},
        {"a monitor power-cycled and deaf for a second", InstallRealTimeMakersDesktop,
         [] {
             ASSERT_EQ(TW(SetTemperatureForDesktopComputer)(0.9f, 0.8f, 0.7f, 0, 1), 0);
             ASSERT_TRUE(AwaitCondition([] { return CurrentRed() == 90; }, kGuardPatience));
         },
         [] {
             Displays().PowerCycle({kPanel, 0});
             Displays().SilenceDdcCi({kPanel, 0}, Machine().Clock().Now() + 1s,
                                     sim::kErrorI2cTransmitting);
         },
         [](const sim::GammaRamp&) {
             return AwaitCondition([] { return CurrentRed() == 90; }, kGuardPatience);
         },
         "The DDC/CI gains of \\\\.\\DISPLAY1#0 is put back"},
        {"a monitor unplugged and plugged back", InstallRealTimeMakersDesktop,
         [] {
             ASSERT_EQ(TW(SetTemperatureForDesktopComputer)(0.8f, 0.8f, 0.7f, 0, 1), 0);
             ASSERT_TRUE(AwaitCondition([] { return CurrentRed() == 80; }, kGuardPatience));
         },
         [] {
             Displays().Unplug(kPanel);
             Displays().PlugIn(kPanel);
         },
         [](const sim::GammaRamp&) {
             return AwaitCondition([] { return CurrentRed() == 80; }, kGuardPatience);
         },
         "The DDC/CI gains of \\\\.\\DISPLAY1#0 is put back"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.machine();
        c.apply();
        ASSERT_EQ(TW(StartColorStateGuard)(kGuardInterval), 0);
        const sim::GammaRamp before = Displays().CurrentRamp(kPanel);
        c.disturb();
        EXPECT_TRUE(c.restored(before));
        EXPECT_TRUE(AwaitCondition([&] { return CountLogged(c.logged) > 0; }, kGuardPatience));
        EXPECT_EQ(TW(StopColorStateGuard)(), 0);
    }
}

// Three put-backs within a minute, then the guard gives way with one
// warning; RestoreColorState takes the display back and guards it again.
TEST_F(ExportTest, TheGuardNeverFightsAProgramThatKeepsChangingTheRamp) {
    InstallRealTimeLaptop();
    ASSERT_EQ(TW(SetTemperatureForNvidia)(1, 0.9f, 0.8f, 0, 1), 0);
    const sim::GammaRamp applied = Displays().CurrentRamp(kPanel);
    ASSERT_EQ(TW(StartColorStateGuard)(kGuardInterval), 0);
    for (int putBack = 1; putBack <= 3; ++putBack) {
        AnotherProgramLoadsIdentity();
        ASSERT_TRUE(RampIs(applied)) << putBack;
    }
    AnotherProgramLoadsIdentity();
    const char kGivesWay[] = "another program keeps changing the gamma ramp of \\\\.\\DISPLAY1";
    ASSERT_TRUE(AwaitCondition([&] { return CountLogged(kGivesWay) == 1; }, kGuardPatience));
    std::this_thread::sleep_for(std::chrono::milliseconds(5 * kGuardInterval));
    EXPECT_NE(Displays().CurrentRamp(kPanel), applied);
    EXPECT_EQ(CountLogged(kGivesWay), 1u);
    EXPECT_EQ(CountLogged(kPutBack), 3u);

    EXPECT_EQ(TW(RestoreColorState)(), 0);
    EXPECT_EQ(Displays().CurrentRamp(kPanel), applied);
    AnotherProgramLoadsIdentity();
    EXPECT_TRUE(RampIs(applied)) << "guarded again after the restore";
    EXPECT_EQ(TW(StopColorStateGuard)(), 0);
    EXPECT_EQ(TW(StopColorStateGuard)(), -1);
    EXPECT_GE(CountLogged(kDrifted), 4u);
}

}  // namespace tw_test
