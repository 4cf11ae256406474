// dxva2: the physical monitors behind an HMONITOR, their red, green and blue
// gains, VCP features and saved settings, sent over DDC/CI.
#include <windows.h>
#include <highlevelmonitorconfigurationapi.h>
#include <lowlevelmonitorconfigurationapi.h>
#include <physicalmonitorenumerationapi.h>

#include <algorithm>
#include <string_view>
#include <thread>
#include <utility>

#include "sim/display_model.h"
#include "sim/error_codes.h"
#include "sim/far_proc.h"
#include "sim/machine.h"
#include "sim/machine_clock.h"

namespace {

std::optional<sim::DesktopMonitor> KnownDisplay(HMONITOR monitor) {
    auto display = sim::Machine::Current().Displays().FindDesktopMonitor(monitor);
    if (!display) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return display;
}

void CopyDescription(PHYSICAL_MONITOR& monitor, std::wstring_view description) {
    const std::size_t count = std::min(description.size(), PHYSICAL_MONITOR_DESCRIPTION_SIZE - 1);
    std::copy_n(description.begin(), count, monitor.szPhysicalMonitorDescription);
    monitor.szPhysicalMonitorDescription[count] = L'\0';
}

// Why a monitor refuses a DDC/CI request: an injected failure, a monitor
// silent since resume, or one described as refusing this kind of request;
// nothing when it takes it.
std::optional<DWORD> Refusal(sim::Machine& machine, std::string_view call,
                             const sim::PhysicalMonitorRef& monitor, bool refuses = false) {
    if (auto error = machine.TakeFailure(call)) {
        return error;
    }
    if (auto silence = machine.Displays().DdcCiSilence(monitor, machine.Clock().Now())) {
        return silence;
    }
    return refuses ? std::optional<DWORD>(sim::kErrorGenFailure) : std::nullopt;
}

BOOL Answer(std::optional<DWORD> refusal) {
    if (refusal) {
        SetLastError(*refusal);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

BOOL WINAPI GetNumberOfPhysicalMonitorsFromHMONITOR(HMONITOR monitor, LPDWORD count) {
    if (const auto error = sim::Machine::CurrentCaughtUp().TakeFailure(
            "GetNumberOfPhysicalMonitorsFromHMONITOR")) {
        SetLastError(*error);
        return FALSE;
    }
    if (count == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto display = KnownDisplay(monitor);
    if (!display) {
        return FALSE;
    }
    *count = static_cast<DWORD>(display->physicalMonitors.size());
    return TRUE;
}

BOOL WINAPI GetPhysicalMonitorsFromHMONITOR(HMONITOR monitor, DWORD arraySize,
                                            LPPHYSICAL_MONITOR array) {
    auto& machine = sim::Machine::CurrentCaughtUp();
    if (const auto error = machine.TakeFailure("GetPhysicalMonitorsFromHMONITOR")) {
        SetLastError(*error);
        return FALSE;
    }
    const auto display = KnownDisplay(monitor);
    if (!display) {
        return FALSE;
    }
    if (array == nullptr || arraySize != display->physicalMonitors.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto handles = machine.Displays().OpenPhysicalMonitors(*display);
    for (std::size_t i = 0; i < handles.size(); ++i) {
        array[i].hPhysicalMonitor = handles[i];
        CopyDescription(array[i], display->physicalMonitors[i].description);
    }
    return TRUE;
}

// Every open handle of the array is destroyed; one that is not open makes the
// call fail without keeping the others open.
BOOL WINAPI DestroyPhysicalMonitors(DWORD arraySize, LPPHYSICAL_MONITOR array) {
    if (array == nullptr && arraySize != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto& displays = sim::Machine::CurrentCaughtUp().Displays();
    BOOL allOpen = TRUE;
    for (DWORD i = 0; i < arraySize; ++i) {
        if (!displays.ClosePhysicalMonitor(array[i].hPhysicalMonitor)) {
            allOpen = FALSE;
        }
    }
    if (!allOpen) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return allOpen;
}

BOOL WINAPI SetMonitorRedGreenOrBlueGain(HANDLE monitor, MC_GAIN_TYPE gainType, DWORD newGain) {
    auto& machine = sim::Machine::CurrentCaughtUp();
    const auto physical = machine.Displays().FindPhysicalMonitor(monitor);
    if (!physical) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!sim::IsGainType(gainType)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto refusal = Refusal(machine, "SetMonitorRedGreenOrBlueGain", *physical);
    machine.Displays().RecordGainWrite({*physical, gainType, newGain, machine.Clock().Now(),
                                        std::this_thread::get_id(), !refusal.has_value()});
    return Answer(refusal);
}

// Checked in SetMonitorRedGreenOrBlueGain's order, so that a handle that is
// not open reads as ERROR_INVALID_HANDLE whatever else is wrong.
BOOL WINAPI GetMonitorRedGreenOrBlueGain(HANDLE monitor, MC_GAIN_TYPE gainType, LPDWORD minimumGain,
                                         LPDWORD currentGain, LPDWORD maximumGain) {
    auto& machine = sim::Machine::CurrentCaughtUp();
    const auto physical = machine.Displays().FindPhysicalMonitor(monitor);
    if (!physical) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!sim::IsGainType(gainType) || minimumGain == nullptr || currentGain == nullptr ||
        maximumGain == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (const auto refusal = Refusal(machine, "GetMonitorRedGreenOrBlueGain", *physical)) {
        return Answer(refusal);
    }
    const auto gain = machine.Displays().Gain(*physical, gainType);
    if (!gain) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *minimumGain = gain->minimum;
    *currentGain = gain->current;
    *maximumGain = gain->maximum;
    return TRUE;
}

namespace {

// An open physical monitor handle with what the description says of its
// monitor; nothing (ERROR_INVALID_HANDLE) for any other handle.
std::optional<std::pair<sim::PhysicalMonitorRef, sim::PhysicalMonitor>> OpenMonitor(
    sim::Machine& machine, HANDLE monitor) {
    const auto physical = machine.Displays().FindPhysicalMonitor(monitor);
    if (!physical) {
        SetLastError(ERROR_INVALID_HANDLE);
        return std::nullopt;
    }
    const auto described = machine.Displays().DescribePhysicalMonitor(*physical);
    return std::pair{*physical, described.value_or(sim::PhysicalMonitor{})};
}

}  // namespace

BOOL WINAPI SetVCPFeature(HANDLE monitor, BYTE vcpCode, DWORD newValue) {
    auto& machine = sim::Machine::CurrentCaughtUp();
    const auto open = OpenMonitor(machine, monitor);
    if (!open) {
        return FALSE;
    }
    const auto refusal = Refusal(machine, "SetVCPFeature", open->first, open->second.refusesVcp);
    machine.Displays().RecordVcpWrite({open->first, vcpCode, newValue, !refusal.has_value()});
    return Answer(refusal);
}

BOOL WINAPI SaveCurrentSettings(HANDLE monitor) {
    auto& machine = sim::Machine::CurrentCaughtUp();
    const auto open = OpenMonitor(machine, monitor);
    if (!open) {
        return FALSE;
    }
    const auto refusal =
        Refusal(machine, "SaveCurrentSettings", open->first, open->second.refusesSave);
    machine.Displays().RecordSettingsSave({open->first, !refusal.has_value()});
    return Answer(refusal);
}

namespace sim {

FARPROC Dxva2Export(std::string_view name) {
    static const NamedEntryPoint kEntryPoints[] = {
        {"GetNumberOfPhysicalMonitorsFromHMONITOR",
         AsFarProc(&GetNumberOfPhysicalMonitorsFromHMONITOR)},
        {"GetPhysicalMonitorsFromHMONITOR", AsFarProc(&GetPhysicalMonitorsFromHMONITOR)},
        {"DestroyPhysicalMonitors", AsFarProc(&DestroyPhysicalMonitors)},
        {"SetMonitorRedGreenOrBlueGain", AsFarProc(&SetMonitorRedGreenOrBlueGain)},
        {"GetMonitorRedGreenOrBlueGain", AsFarProc(&GetMonitorRedGreenOrBlueGain)},
        {"SetVCPFeature", AsFarProc(&SetVCPFeature)},
        {"SaveCurrentSettings", AsFarProc(&SaveCurrentSettings)},
    };
    return FindEntryPoint(kEntryPoints, name);
}

}  // namespace sim
