// The simulated machine's display monitors and physical monitors, where the
// desktop road relies on Windows' rules: record sizes, handles that must be
// destroyed, refusals, and the clock that Sleep moves on.
#include <windows.h>
#include <highlevelmonitorconfigurationapi.h>
#include <physicalmonitorenumerationapi.h>

#include <stdexcept>
#include <thread>

#include "../shared/test_platform.h"
#include "desktop_test_machines.h"
#include "sim/machine_clock.h"

namespace tw_test {

namespace {

std::vector<HMONITOR> Monitors(LPCRECT clip = nullptr) {
    std::vector<HMONITOR> monitors;
    EnumDisplayMonitors(
        nullptr, clip,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            reinterpret_cast<std::vector<HMONITOR>*>(data)->push_back(monitor);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

std::vector<PHYSICAL_MONITOR> Fetch(HMONITOR monitor) {
    DWORD count = 0;
    EXPECT_TRUE(GetNumberOfPhysicalMonitorsFromHMONITOR(monitor, &count));
    std::vector<PHYSICAL_MONITOR> physical(count);
    EXPECT_TRUE(GetPhysicalMonitorsFromHMONITOR(monitor, count, physical.data()));
    return physical;
}

void InstallTwoDisplays() {
    nlohmann::json left = Display(1, {Monitor(kMakerMonitorId)}, {Physical("ORV2016")});
    left["stateFlags"] = kPrimary;
    left["currentSettings"] = {{"width", 2560}, {"height", 1440}};
    nlohmann::json right =
        Display(2, {Monitor(kPanelId)}, {Physical("Left"), Physical("Right", true)});
    right["currentSettings"] = {{"x", 2560}, {"width", 1920}, {"height", 1080}};
    InstallDesktop({left, Adapter("Detached", 0, {Monitor(kPanelId)}), right});
}

}  // namespace

class DesktopMachine : public ExportTest {};

TEST_F(DesktopMachine, DesktopMonitorsAreTheAdaptersOnTheDesktopWhereTheirSettingsPlaceThem) {
    InstallTwoDisplays();
    const auto monitors = Monitors();
    ASSERT_EQ(monitors.size(), 2u);

    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMonitorInfoW(monitors[1], &info));
    EXPECT_EQ(std::wstring(info.szDevice), L"\\\\.\\DISPLAY2");
    EXPECT_EQ(info.rcMonitor.left, 2560);
    EXPECT_EQ(info.rcMonitor.right, 4480);
    EXPECT_EQ(info.rcMonitor.bottom, 1080);
    EXPECT_EQ(info.dwFlags, 0u);

    MONITORINFO brief{};
    brief.cbSize = sizeof brief;
    ASSERT_TRUE(GetMonitorInfoW(monitors[0], &brief));
    EXPECT_EQ(brief.dwFlags, MONITORINFOF_PRIMARY);
    EXPECT_EQ(brief.rcWork.right, 2560);

    const RECT rightHalf{3000, 0, 4000, 100};
    const auto clipped = Monitors(&rightHalf);
    ASSERT_EQ(clipped.size(), 1u);
    EXPECT_EQ(clipped[0], monitors[1]);
}

TEST_F(DesktopMachine, MonitorInfoRefusesWrongSizesAndUnknownMonitors) {
    InstallTwoDisplays();
    MONITORINFOEXW info{};
    info.cbSize = sizeof(MONITORINFO) + 1;
    EXPECT_FALSE(GetMonitorInfoW(Monitors()[0], &info));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    info.cbSize = sizeof info;
    EXPECT_FALSE(GetMonitorInfoW(reinterpret_cast<HMONITOR>(0x1234), &info));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_MONITOR_HANDLE);
}

TEST_F(DesktopMachine, EnumerationStopsWhenTheCallbackSaysSo) {
    InstallTwoDisplays();
    int calls = 0;
    EXPECT_FALSE(EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT, LPARAM data) -> BOOL {
            ++*reinterpret_cast<int*>(data);
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&calls)));
    EXPECT_EQ(calls, 1);
}

TEST_F(DesktopMachine, PhysicalMonitorsAreDescribedOrFollowTheActiveMonitorDevices) {
    nlohmann::json named = Monitor(kPanelId);
    named["deviceString"] = "Generic PnP Monitor";
    InstallMachine({Adapter("Intel", kPrimary, {Monitor(kMakerMonitorId, 0), named})});
    auto physical = Fetch(Monitors()[0]);
    ASSERT_EQ(physical.size(), 1u);
    EXPECT_EQ(std::wstring(physical[0].szPhysicalMonitorDescription), L"Generic PnP Monitor");
    ASSERT_TRUE(DestroyPhysicalMonitors(static_cast<DWORD>(physical.size()), physical.data()));

    InstallTwoDisplays();
    physical = Fetch(Monitors()[1]);
    ASSERT_EQ(physical.size(), 2u);
    EXPECT_EQ(std::wstring(physical[0].szPhysicalMonitorDescription), L"Left");
    EXPECT_EQ(physical[1].hPhysicalMonitor, INVALID_HANDLE_VALUE);
}

TEST_F(DesktopMachine, EveryFetchOpensHandlesThatOnlyDestructionCloses) {
    InstallTwoDisplays();
    auto first = Fetch(Monitors()[0]);
    auto second = Fetch(Monitors()[0]);
    EXPECT_NE(first[0].hPhysicalMonitor, second[0].hPhysicalMonitor);
    EXPECT_EQ(Displays().OpenPhysicalMonitorCount(), 2u);
    EXPECT_TRUE(DestroyPhysicalMonitors(1, first.data()));
    EXPECT_FALSE(DestroyPhysicalMonitors(1, first.data()));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(SetMonitorRedGreenOrBlueGain(first[0].hPhysicalMonitor, MC_RED_GAIN, 50));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    // The invalid entry fails the call; the open one beside it is still closed.
    auto withInvalid = Fetch(Monitors()[1]);
    EXPECT_FALSE(DestroyPhysicalMonitors(2, withInvalid.data()));
    EXPECT_TRUE(DestroyPhysicalMonitors(1, second.data()));
    EXPECT_EQ(Displays().OpenPhysicalMonitorCount(), 0u);
    EXPECT_EQ(Displays().OpenedPhysicalMonitorCount(), 3u);
}

TEST_F(DesktopMachine, PhysicalMonitorFetchChecksItsArrayAndCanBeRefused) {
    InstallTwoDisplays();
    const HMONITOR display = Monitors()[1];
    PHYSICAL_MONITOR one[1];
    EXPECT_FALSE(GetPhysicalMonitorsFromHMONITOR(display, 1, one));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    DWORD count = 0;
    EXPECT_FALSE(GetNumberOfPhysicalMonitorsFromHMONITOR(reinterpret_cast<HMONITOR>(7), &count));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    sim::Machine::Current().FailCall("GetNumberOfPhysicalMonitorsFromHMONITOR",
                                     ERROR_ACCESS_DENIED);
    EXPECT_FALSE(GetNumberOfPhysicalMonitorsFromHMONITOR(display, &count));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    sim::Machine::Current().FailCall("GetPhysicalMonitorsFromHMONITOR", ERROR_NOT_ENOUGH_MEMORY);
    PHYSICAL_MONITOR two[2];
    EXPECT_FALSE(GetPhysicalMonitorsFromHMONITOR(display, 2, two));
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(Displays().OpenedPhysicalMonitorCount(), 0u);
}

TEST_F(DesktopMachine, GainWritesAreRecordedWithTheirMonitorTimeAndOutcome) {
    InstallTwoDisplays();
    auto physical = Fetch(Monitors()[0]);
    const HANDLE monitor = physical[0].hPhysicalMonitor;
    ASSERT_TRUE(SetMonitorRedGreenOrBlueGain(monitor, MC_RED_GAIN, 100));
    Sleep(50);
    sim::Machine::Current().FailCall("SetMonitorRedGreenOrBlueGain", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(SetMonitorRedGreenOrBlueGain(monitor, MC_BLUE_GAIN, 80));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(SetMonitorRedGreenOrBlueGain(monitor, static_cast<MC_GAIN_TYPE>(3), 1));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    const auto writes = Displays().GainWrites();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(GainLog(), (std::vector<std::string>{"DISPLAY1#0 R100", "DISPLAY1#0 B80"}));
    EXPECT_TRUE(writes[0].accepted);
    EXPECT_FALSE(writes[1].accepted);
    EXPECT_EQ(writes[1].time - writes[0].time, std::chrono::milliseconds(50));
    EXPECT_EQ(writes[0].thread, std::this_thread::get_id());
    DestroyPhysicalMonitors(1, physical.data());
}

TEST(DesktopMachineClock, RealUnlessTheDescriptionSaysVirtual) {
    EXPECT_EQ(sim::Machine::FromJson(nlohmann::json::object())->Clock().GetMode(),
              sim::MachineClock::Mode::Real);
    EXPECT_EQ(sim::Machine::FromJson({{"clock", "virtual"}})->Clock().GetMode(),
              sim::MachineClock::Mode::Virtual);
    EXPECT_THROW(sim::Machine::FromJson({{"clock", "fast"}}), std::invalid_argument);
}

TEST(DesktopMachineClock, VirtualSleepsMoveTheClockAfterTheHookHasRun) {
    sim::MachineClock clock;
    clock.SetMode(sim::MachineClock::Mode::Virtual);
    std::vector<std::chrono::milliseconds> seen;
    clock.SetSleepHook([&](std::chrono::milliseconds duration) {
        seen.push_back(clock.Now());
        seen.push_back(duration);
    });
    clock.Sleep(std::chrono::hours(1));
    EXPECT_EQ(clock.Now(), std::chrono::hours(1));
    EXPECT_EQ(seen, (std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(0),
                                                            std::chrono::hours(1)}));
}

}  // namespace tw_test
