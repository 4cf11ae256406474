// Wine's dxva2 has the monitor configuration functions as stubs that fail
// (ERROR_CALL_NOT_IMPLEMENTED), and its one monitor is Wine's default one,
// not the maker's. This stand-in, in the test process, gives every display
// one physical monitor that takes every gain, VCP value and save, and
// records them, and answers its current gains; and, when told to, shows Wine's monitor to the
// library under a maker's hardware id. The DLL reaches it through its own lookups
// (system_stand_ins_win32.h).
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace tw_test {

struct StandInVcpWrite {
    BYTE code = 0;
    DWORD value = 0;
    bool accepted = true;
};

struct StandInGainWrite {
    int gainType = 0;  // 0 red, 1 green, 2 blue
    DWORD value = 0;
};

class MonitorConfigurationStandIn {
  public:
    // Forgets what was recorded and told: a generic monitor that takes
    // everything.
    static void Reset();
    // The physical monitor's description, which the DDC/CI road searches
    // for the maker's id.
    static void Describe(const std::wstring& description);
    // Wine's monitor device id with the maker's code (ORV2016) as its
    // hardware id, where the desktop road looks for the maker's monitors.
    static void ShowMakersMonitor();
    static void RefuseVcp();
    // The monitor is back at its factory gains, 50 each.
    static void PowerCycle();

    static std::vector<StandInVcpWrite> VcpWrites();
    static std::size_t Saves();
    static std::vector<StandInGainWrite> GainWrites();
    static std::size_t OpenPhysicalMonitors();

    // The stand-in entry point dxva2 exports under `name`, or null.
    static FARPROC EntryPoint(const char* name);
    // Wine's EnumDisplayDevicesW, with the maker's monitor when shown.
    static BOOL WINAPI EnumDisplayDevices(LPCWSTR device, DWORD index, PDISPLAY_DEVICEW info,
                                          DWORD flags);
};

}  // namespace tw_test
