// What the world does to a display's colour while the library runs, told by
// a machine description's events: each case loads a ramp and sets a gain as
// the library would, lets the virtual clock run, and reads back through the
// Windows calls what the display and its monitor show then.
#include <gtest/gtest.h>

#include <windows.h>
#include <highlevelmonitorconfigurationapi.h>
#include <lowlevelmonitorconfigurationapi.h>
#include <physicalmonitorenumerationapi.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "desktop_test_machines.h"
#include "sim/display_model.h"
#include "sim/error_codes.h"
#include "sim/machine_clock.h"

namespace tw_test {

namespace {

using sim::RampLoader;
using std::chrono::milliseconds;

constexpr const wchar_t* kDisplay = L"\\\\.\\DISPLAY1";
constexpr WORD kLibraryRedTop = 40000;
constexpr DWORD kLibraryRedGain = 30;
constexpr DWORD kFactoryRedGain = 80;
constexpr WORD kIdentityTop = 65535;
constexpr std::size_t kTop = 255;
constexpr BYTE kBrightness = 0x10;

// What the library would find: the red top of the display's ramp (0 when no
// DC can be made), the red gain through a handle fetched now (0 when none
// answers), the error the handle fetched before the events meets (0: none),
// whether that handle still takes a VCP write, the old HMONITOR still
// answers, the monitor shows attached, and who loaded the ramps.
struct Seen {
    WORD redTop = kLibraryRedTop;
    DWORD gain = kLibraryRedGain;
    DWORD oldHandleError = 0;
    bool vcpTaken = true;
    bool oldDisplayKnown = true;
    bool attached = true;
    std::vector<RampLoader> loaders = {RampLoader::ThisProcess};
};

struct EventCase {
    std::string name;
    nlohmann::json events;
    milliseconds run;
    Seen seen;
};

nlohmann::json On(nlohmann::json event) {
    event["display"] = "\\\\.\\DISPLAY1";
    return event;
}

std::vector<EventCase> EventCases() {
    using L = RampLoader;
    const Seen unplugged{0, 0, ERROR_INVALID_HANDLE, false, false, false};
    const Seen replugged{kIdentityTop,
                         kFactoryRedGain,
                         ERROR_INVALID_HANDLE,
                         false,
                         false,
                         true,
                         {L::ThisProcess, L::Windows}};
    const Seen silent{kLibraryRedTop, 0, sim::kErrorI2cTransmitting, false};
    nlohmann::json fullRamp = nlohmann::json::array();
    for (int i = 0; i < 768; ++i) {
        fullRamp.push_back(1000);
    }
    return {
        {"not due yet", {{{"at", 1000}, {"event", "rampReset"}}}, milliseconds(999), {}},
        {"another program's gains",
         {On({{"at", 1000}, {"event", "otherProgramRamp"}, {"gains", {0.5, 1, 1}}})},
         milliseconds(1000),
         {32768, kLibraryRedGain, 0, true, true, true, {L::ThisProcess, L::OtherProgram}}},
        {"another program's ramp",
         {On({{"at", 1000}, {"event", "otherProgramRamp"}, {"ramp", fullRamp}})},
         milliseconds(1000),
         {1000, kLibraryRedGain, 0, true, true, true, {L::ThisProcess, L::OtherProgram}}},
        {"Windows resets the ramps",
         {{{"at", 500}, {"event", "rampReset"}}},
         milliseconds(1000),
         {kIdentityTop, kLibraryRedGain, 0, true, true, true, {L::ThisProcess, L::Windows}}},
        {"a reset repeats its count of times",
         {{{"at", 500}, {"every", 100}, {"count", 3}, {"event", "rampReset"}}},
         milliseconds(10000),
         {kIdentityTop,
          kLibraryRedGain,
          0,
          true,
          true,
          true,
          {L::ThisProcess, L::Windows, L::Windows, L::Windows}}},
        {"a power cycle brings the factory gains",
         {On({{"at", 500}, {"event", "powerCycle"}})},
         milliseconds(1000),
         {kLibraryRedTop, kFactoryRedGain}},
        {"unplugged", {On({{"at", 500}, {"event", "unplug"}})}, milliseconds(1000), unplugged},
        {"still unplugged",
         {On({{"at", 500}, {"event", "unplug"}, {"for", 1000}})},
         milliseconds(1499),
         unplugged},
        {"plugged back",
         {On({{"at", 500}, {"event", "unplug"}, {"for", 1000}})},
         milliseconds(1500),
         replugged},
        {"plugged in by its own event",
         {On({{"at", 500}, {"event", "unplug"}}), On({{"at", 600}, {"event", "plugIn"}})},
         milliseconds(1000),
         replugged},
        {"silent after resume",
         {On({{"at", 500}, {"event", "ddcciSilence"}, {"for", 1000}})},
         milliseconds(1499),
         silent},
        {"answers again after its silence",
         {On({{"at", 500}, {"event", "ddcciSilence"}, {"for", 1000}})},
         milliseconds(1500),
         {}},
    };
}

HDC DisplayDc() {
    return CreateDCW(L"DISPLAY", kDisplay, nullptr, nullptr);
}

PHYSICAL_MONITOR FirstPhysicalMonitor() {
    PHYSICAL_MONITOR monitor{};
    const auto displays = Displays().DesktopMonitors();
    if (!displays.empty()) {
        GetPhysicalMonitorsFromHMONITOR(displays.front().handle, 1, &monitor);
    }
    return monitor;
}

DWORD RedGain(HANDLE monitor) {
    DWORD minimum = 0;
    DWORD current = 0;
    DWORD maximum = 0;
    GetMonitorRedGreenOrBlueGain(monitor, MC_RED_GAIN, &minimum, &current, &maximum);
    return current;
}

// As the library would: its ramp on the display and its gain on the monitor.
void ApplyAsTheLibrary(HANDLE monitor) {
    const HDC dc = DisplayDc();
    sim::GammaRamp ramp = sim::IdentityRamp();
    ramp[kTop] = kLibraryRedTop;
    ASSERT_TRUE(SetDeviceGammaRamp(dc, ramp.data()));
    DeleteDC(dc);
    ASSERT_TRUE(SetMonitorRedGreenOrBlueGain(monitor, MC_RED_GAIN, kLibraryRedGain));
}

Seen Observe(HANDLE oldMonitor, HMONITOR oldDisplay) {
    Seen seen;
    sim::GammaRamp ramp{};
    const HDC dc = DisplayDc();
    seen.redTop = dc != nullptr && GetDeviceGammaRamp(dc, ramp.data()) ? ramp[kTop] : 0;
    DeleteDC(dc);
    const HANDLE fresh = FirstPhysicalMonitor().hPhysicalMonitor;
    seen.gain = fresh != nullptr ? RedGain(fresh) : 0;
    SetLastError(0);
    RedGain(oldMonitor);
    seen.oldHandleError = GetLastError();
    seen.vcpTaken = SetVCPFeature(oldMonitor, kBrightness, 50) != FALSE;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    seen.oldDisplayKnown = GetMonitorInfoW(oldDisplay, &info) != FALSE;
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    seen.attached = EnumDisplayDevicesW(kDisplay, 0, &device, 0) &&
                    (device.StateFlags & DISPLAY_DEVICE_ATTACHED) != 0;
    seen.loaders.clear();
    for (const auto& load : Displays().RampHistory()) {
        seen.loaders.push_back(load.loader);
    }
    return seen;
}

void InstallWithEvents(const nlohmann::json& events) {
    nlohmann::json physical = {{"description", "Dell"},
                               {"factoryGains", {kFactoryRedGain, 50, 50}}};
    InstallDescription(
        {{"displays", {{"adapters", {Display(1, {Monitor(kMakerMonitorId)}, {physical})}}}},
         {"events", events}});
}

}  // namespace

TEST(DisplayEvents, EachDoesToTheDisplayWhatTheWorldDoes) {
    for (const EventCase& c : EventCases()) {
        SCOPED_TRACE(c.name);
        InstallWithEvents(c.events);
        const HMONITOR display = Displays().DesktopMonitors().at(0).handle;
        const HANDLE monitor = FirstPhysicalMonitor().hPhysicalMonitor;
        ApplyAsTheLibrary(monitor);
        sim::Machine::Current().Clock().Sleep(c.run);

        const Seen seen = Observe(monitor, display);
        EXPECT_EQ(seen.redTop, c.seen.redTop);
        EXPECT_EQ(seen.gain, c.seen.gain);
        EXPECT_EQ(seen.oldHandleError, c.seen.oldHandleError);
        EXPECT_EQ(seen.vcpTaken, c.seen.vcpTaken);
        EXPECT_EQ(seen.oldDisplayKnown, c.seen.oldDisplayKnown);
        EXPECT_EQ(seen.attached, c.seen.attached);
        EXPECT_EQ(seen.loaders, c.seen.loaders);
    }
}

}  // namespace tw_test

namespace tw_test {

// Calls racing each other on several threads see each firing happen once.
TEST(DisplayEvents, RacingCallsApplyEachFiringOnce) {
    constexpr int kThreads = 4;
    constexpr int kFirings = 100;
    constexpr int kCallsPerThread = 50;
    InstallWithEvents({{{"at", 0}, {"every", 10}, {"count", kFirings}, {"event", "rampReset"}}});
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([] {
            sim::GammaRamp ramp{};
            const HDC dc = DisplayDc();
            for (int call = 0; call < kCallsPerThread; ++call) {
                sim::Machine::Current().Clock().Sleep(milliseconds(10));
                GetDeviceGammaRamp(dc, ramp.data());
            }
            DeleteDC(dc);
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const auto history = Displays().RampHistory();
    EXPECT_EQ(std::count_if(history.begin(), history.end(),
                            [](const auto& load) { return load.loader == RampLoader::Windows; }),
              kFirings);
}

}  // namespace tw_test
