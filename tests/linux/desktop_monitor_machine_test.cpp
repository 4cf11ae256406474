// The simulated machine's display monitors and physical monitors, where the
// desktop road relies on Windows' rules: record sizes, handles that must be
// destroyed, and the clock that tests and the tool choose.
#include <windows.h>
#include <highlevelmonitorconfigurationapi.h>
#include <physicalmonitorenumerationapi.h>

#include <stdexcept>

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

// A primary display, a detached adapter, and a display to the right of the
// primary whose second physical monitor has an invalid handle.
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

TEST_F(DesktopMachine, DisplayMonitorsAreTheAdaptersOnTheDesktopWhereTheirSettingsPlaceThem) {
    InstallTwoDisplays();
    const auto monitors = Monitors();
    ASSERT_EQ(monitors.size(), 2u);

    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMonitorInfoW(monitors[1], &info));
    EXPECT_EQ(std::wstring(info.szDevice), L"\\\\.\\DISPLAY2");
    EXPECT_EQ(info.rcMonitor.left, 2560);
    EXPECT_EQ(info.rcMonitor.right, 4480);
    EXPECT_EQ(info.dwFlags, 0u);
    MONITORINFO brief{};
    brief.cbSize = sizeof brief;
    ASSERT_TRUE(GetMonitorInfoW(monitors[0], &brief));
    EXPECT_EQ(brief.dwFlags, MONITORINFOF_PRIMARY);

    info.cbSize = sizeof(MONITORINFO) + 1;
    EXPECT_FALSE(GetMonitorInfoW(monitors[0], &info));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    const RECT rightOfThePrimary{3000, 0, 4000, 100};
    EXPECT_EQ(Monitors(&rightOfThePrimary), std::vector<HMONITOR>{monitors[1]});
}

TEST_F(DesktopMachine, UndescribedPhysicalMonitorsAreTheActiveMonitorDevices) {
    nlohmann::json named = Monitor(kPanelId);
    named["deviceString"] = "Generic PnP Monitor";
    InstallMachine({Adapter("Intel", kPrimary, {Monitor(kMakerMonitorId, 0), named})});
    auto physical = Fetch(Monitors()[0]);
    ASSERT_EQ(physical.size(), 1u);
    EXPECT_EQ(std::wstring(physical[0].szPhysicalMonitorDescription), L"Generic PnP Monitor");
    EXPECT_TRUE(DestroyPhysicalMonitors(1, physical.data()));
}

TEST_F(DesktopMachine, EveryFetchOpensHandlesThatOnlyDestructionCloses) {
    InstallTwoDisplays();
    PHYSICAL_MONITOR tooFew[1];
    EXPECT_FALSE(GetPhysicalMonitorsFromHMONITOR(Monitors()[1], 1, tooFew));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    auto first = Fetch(Monitors()[0]);
    auto second = Fetch(Monitors()[0]);
    EXPECT_NE(first[0].hPhysicalMonitor, second[0].hPhysicalMonitor);
    EXPECT_TRUE(DestroyPhysicalMonitors(1, first.data()));
    EXPECT_FALSE(DestroyPhysicalMonitors(1, first.data()));
    EXPECT_FALSE(SetMonitorRedGreenOrBlueGain(first[0].hPhysicalMonitor, MC_RED_GAIN, 50));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    // The invalid entry fails the call; the open one beside it is still closed.
    auto withInvalid = Fetch(Monitors()[1]);
    EXPECT_EQ(withInvalid[1].hPhysicalMonitor, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DestroyPhysicalMonitors(2, withInvalid.data()));
    EXPECT_TRUE(DestroyPhysicalMonitors(1, second.data()));
    EXPECT_EQ(Displays().OpenPhysicalMonitorCount(), 0u);
    EXPECT_EQ(Displays().OpenedPhysicalMonitorCount(), 3u);
}

TEST(DesktopMachineClock, RealUnlessTheDescriptionSaysVirtual) {
    EXPECT_EQ(sim::Machine::FromJson(nlohmann::json::object())->Clock().GetMode(),
              sim::MachineClock::Mode::Real);
    EXPECT_EQ(sim::Machine::FromJson({{"clock", "virtual"}})->Clock().GetMode(),
              sim::MachineClock::Mode::Virtual);
    EXPECT_THROW(sim::Machine::FromJson({{"clock", "fast"}}), std::invalid_argument);
}

}  // namespace tw_test
