#include "monitor_configuration_stand_in_win32.h"

#include <highlevelmonitorconfigurationapi.h>
#include <lowlevelmonitorconfigurationapi.h>
#include <physicalmonitorenumerationapi.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cwchar>
#include <mutex>
#include <set>
#include <string_view>

#include "system_stand_ins_win32.h"

namespace tw_test {

namespace {

constexpr DWORD kPhysicalMonitorsPerDisplay = 1;
constexpr std::uintptr_t kFirstHandle = 0x5A000;
constexpr std::wstring_view kWineMonitorId = L"MONITOR\\Default_Monitor\\";
constexpr std::wstring_view kMakersMonitorId = L"MONITOR\\ORV2016\\";
constexpr DWORD kFactoryGain = 50;
constexpr DWORD kLargestGain = 100;

// Every call may come from the library's worker while a test reads.
struct State {
    std::mutex mutex;
    std::wstring description = L"Generic PnP Monitor";
    bool makersMonitor = false;
    bool refusesVcp = false;
    std::uintptr_t nextHandle = kFirstHandle;
    std::set<HANDLE> open;
    std::vector<StandInVcpWrite> vcpWrites;
    std::size_t saves = 0;
    std::vector<StandInGainWrite> gainWrites;
    std::array<DWORD, 3> gains{kFactoryGain, kFactoryGain, kFactoryGain};
};

State& Shared() {
    static State state;
    return state;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

bool IsDisplay(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    return GetMonitorInfoW(monitor, &info) != FALSE;
}

BOOL WINAPI CountPhysicalMonitors(HMONITOR monitor, LPDWORD count) {
    if (!IsDisplay(monitor) || count == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    *count = kPhysicalMonitorsPerDisplay;
    return TRUE;
}

BOOL WINAPI FetchPhysicalMonitors(HMONITOR monitor, DWORD size, LPPHYSICAL_MONITOR monitors) {
    if (!IsDisplay(monitor) || size != kPhysicalMonitorsPerDisplay || monitors == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    State& state = Shared();
    std::lock_guard lock(state.mutex);
    monitors[0].hPhysicalMonitor = reinterpret_cast<HANDLE>(state.nextHandle++);
    state.open.insert(monitors[0].hPhysicalMonitor);
    wcsncpy(monitors[0].szPhysicalMonitorDescription, state.description.c_str(),
            PHYSICAL_MONITOR_DESCRIPTION_SIZE - 1);
    return TRUE;
}

BOOL WINAPI DestroyMonitors(DWORD size, LPPHYSICAL_MONITOR monitors) {
    State& state = Shared();
    std::lock_guard lock(state.mutex);
    bool allOpen = true;
    for (DWORD i = 0; i < size; ++i) {
        allOpen = state.open.erase(monitors[i].hPhysicalMonitor) == 1 && allOpen;
    }
    return allOpen ? TRUE : Fail(ERROR_INVALID_HANDLE);
}

BOOL WINAPI SetGain(HANDLE monitor, MC_GAIN_TYPE gainType, DWORD value) {
    State& state = Shared();
    std::lock_guard lock(state.mutex);
    if (!state.open.contains(monitor)) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (gainType < MC_RED_GAIN || gainType > MC_BLUE_GAIN) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    state.gainWrites.push_back({static_cast<int>(gainType), value});
    state.gains[gainType] = value;
    return TRUE;
}

BOOL WINAPI GetGain(HANDLE monitor, MC_GAIN_TYPE gainType, LPDWORD minimum, LPDWORD current,
                    LPDWORD maximum) {
    State& state = Shared();
    std::lock_guard lock(state.mutex);
    if (!state.open.contains(monitor)) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (gainType < MC_RED_GAIN || gainType > MC_BLUE_GAIN || minimum == nullptr ||
        current == nullptr || maximum == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    *minimum = 0;
    *current = state.gains[gainType];
    *maximum = kLargestGain;
    return TRUE;
}

BOOL WINAPI SetVcp(HANDLE monitor, BYTE code, DWORD value) {
    State& state = Shared();
    std::lock_guard lock(state.mutex);
    if (!state.open.contains(monitor)) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    state.vcpWrites.push_back({code, value, !state.refusesVcp});
    return state.refusesVcp ? Fail(ERROR_GEN_FAILURE) : TRUE;
}

BOOL WINAPI Save(HANDLE monitor) {
    State& state = Shared();
    std::lock_guard lock(state.mutex);
    if (!state.open.contains(monitor)) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    ++state.saves;
    return TRUE;
}

void ShowAsMakers(DISPLAY_DEVICEW& device) {
    const std::wstring_view id = device.DeviceID;
    if (!id.starts_with(kWineMonitorId)) {
        return;
    }
    const std::wstring shown =
        std::wstring(kMakersMonitorId) + std::wstring(id.substr(kWineMonitorId.size()));
    wcsncpy(device.DeviceID, shown.c_str(), std::size(device.DeviceID) - 1);
}

}  // namespace

void MonitorConfigurationStandIn::Reset() {
    State& state = Shared();
    std::lock_guard lock(state.mutex);
    state.description = L"Generic PnP Monitor";
    state.makersMonitor = false;
    state.refusesVcp = false;
    state.vcpWrites.clear();
    state.saves = 0;
    state.gainWrites.clear();
    state.gains.fill(kFactoryGain);
}

void MonitorConfigurationStandIn::PowerCycle() {
    std::lock_guard lock(Shared().mutex);
    Shared().gains.fill(kFactoryGain);
}

void MonitorConfigurationStandIn::Describe(const std::wstring& description) {
    std::lock_guard lock(Shared().mutex);
    Shared().description = description;
}

void MonitorConfigurationStandIn::ShowMakersMonitor() {
    std::lock_guard lock(Shared().mutex);
    Shared().makersMonitor = true;
}

void MonitorConfigurationStandIn::RefuseVcp() {
    std::lock_guard lock(Shared().mutex);
    Shared().refusesVcp = true;
}

std::vector<StandInVcpWrite> MonitorConfigurationStandIn::VcpWrites() {
    std::lock_guard lock(Shared().mutex);
    return Shared().vcpWrites;
}

std::size_t MonitorConfigurationStandIn::Saves() {
    std::lock_guard lock(Shared().mutex);
    return Shared().saves;
}

std::vector<StandInGainWrite> MonitorConfigurationStandIn::GainWrites() {
    std::lock_guard lock(Shared().mutex);
    return Shared().gainWrites;
}

std::size_t MonitorConfigurationStandIn::OpenPhysicalMonitors() {
    std::lock_guard lock(Shared().mutex);
    return Shared().open.size();
}

FARPROC MonitorConfigurationStandIn::EntryPoint(const char* name) {
    static const NamedStandIn kStandIns[] = {
        {"GetNumberOfPhysicalMonitorsFromHMONITOR", AsFarProc(&CountPhysicalMonitors)},
        {"GetPhysicalMonitorsFromHMONITOR", AsFarProc(&FetchPhysicalMonitors)},
        {"DestroyPhysicalMonitors", AsFarProc(&DestroyMonitors)},
        {"SetMonitorRedGreenOrBlueGain", AsFarProc(&SetGain)},
        {"GetMonitorRedGreenOrBlueGain", AsFarProc(&GetGain)},
        {"SetVCPFeature", AsFarProc(&SetVcp)},
        {"SaveCurrentSettings", AsFarProc(&Save)},
    };
    return FindStandIn(kStandIns, name);
}

BOOL WINAPI MonitorConfigurationStandIn::EnumDisplayDevices(LPCWSTR device, DWORD index,
                                                            PDISPLAY_DEVICEW info, DWORD flags) {
    if (!::EnumDisplayDevicesW(device, index, info, flags)) {
        return FALSE;
    }
    bool makers = false;
    {
        std::lock_guard lock(Shared().mutex);
        makers = Shared().makersMonitor;
    }
    if (makers && flags == 0) {
        ShowAsMakers(*info);
    }
    return TRUE;
}

}  // namespace tw_test
