// user32 and gdi32: display devices, display settings, the desktop's display
// monitors, device contexts, their image colour management, and the gamma
// ramp entry points that gdi32 also hands out by name.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "sim/color_model.h"
#include "sim/display_model.h"
#include "sim/error_codes.h"
#include "sim/far_proc.h"
#include "sim/icc_profile_reader.h"
#include "sim/machine.h"
#include "sim/wide_text.h"

namespace {

template <std::size_t N, typename Char>
void CopyName(Char (&field)[N], std::wstring_view text) {
    const std::size_t count = std::min(text.size(), N - 1);
    std::transform(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(count), field,
                   [](wchar_t c) { return static_cast<Char>(c); });
    field[count] = Char{0};
}

// Windows fills what the caller's cb covers: older, shorter records lack the
// device id and key; a record shorter than that is refused.
bool FillDisplayDevice(DISPLAY_DEVICEW& device, std::wstring_view name, std::wstring_view string,
                       DWORD stateFlags, std::wstring_view id) {
    if (device.cb < offsetof(DISPLAY_DEVICEW, DeviceID)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    CopyName(device.DeviceName, name);
    CopyName(device.DeviceString, string);
    device.StateFlags = stateFlags;
    if (device.cb >= offsetof(DISPLAY_DEVICEW, DeviceKey)) {
        CopyName(device.DeviceID, id);
    }
    if (device.cb >= sizeof(DISPLAY_DEVICEW)) {
        CopyName(device.DeviceKey, L"");
    }
    return true;
}

const sim::DisplaySettings* SettingsFor(const sim::DisplayAdapter& adapter, DWORD modeNumber) {
    switch (modeNumber) {
        case ENUM_CURRENT_SETTINGS:
            return adapter.currentSettings ? &*adapter.currentSettings : nullptr;
        case ENUM_REGISTRY_SETTINGS:
            return adapter.registrySettings ? &*adapter.registrySettings : nullptr;
        default:  // the list of supported modes is not modelled
            return nullptr;
    }
}

// The display members up to dmDisplayFrequency are what every DEVMODE version
// since the first one carries; the model writes nothing past them.
constexpr std::size_t kSmallestDevMode = offsetof(DEVMODEW, dmDisplayFrequency) + sizeof(DWORD);

void FillDevMode(DEVMODEW& mode, const sim::DisplayAdapter& adapter,
                 const sim::DisplaySettings& settings) {
    CopyName(mode.dmDeviceName, adapter.deviceString);
    mode.dmDriverExtra = 0;
    mode.dmFields =
        DM_POSITION | DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    mode.dmPosition = {settings.x, settings.y};
    mode.dmBitsPerPel = settings.bitsPerPel;
    mode.dmPelsWidth = settings.width;
    mode.dmPelsHeight = settings.height;
    mode.dmDisplayFlags = 0;
    mode.dmDisplayFrequency = settings.frequency;
}

std::optional<sim::DisplayAdapter> PrimaryAdapter(const sim::DisplayModel& displays) {
    for (const auto& adapter : displays.Adapters()) {
        if ((adapter.stateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0) {
            return adapter;
        }
    }
    return std::nullopt;
}

constexpr std::wstring_view kDisplayDriver = L"DISPLAY";

// What a new device context draws on and what it was created for.
struct DcBinding {
    std::wstring adapter;
    std::wstring target;
};

std::optional<DcBinding> AttachedAdapter(const sim::DisplayModel& displays,
                                         std::wstring_view name) {
    const auto adapter = displays.FindAdapter(name);
    if (!adapter || (adapter->stateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) == 0) {
        return std::nullopt;
    }
    return DcBinding{adapter->deviceName, adapter->deviceName};
}

// As CreateDC's documentation has it: the driver is "DISPLAY" or a display
// device's name, and the device NULL or that same name; NULL for the primary
// display. A driver NULL with a display device's name is what GDI takes too.
// Anything else, a monitor's device id or name among them, names no display.
std::optional<DcBinding> BindDc(const sim::DisplayModel& displays, LPCWSTR driver, LPCWSTR device) {
    if (driver == nullptr) {
        return device != nullptr ? AttachedAdapter(displays, device) : std::nullopt;
    }
    if (sim::EqualsIgnoringCase(driver, kDisplayDriver)) {
        if (device != nullptr) {
            return AttachedAdapter(displays, device);
        }
        const auto primary = PrimaryAdapter(displays);
        return primary
                   ? std::optional<DcBinding>({primary->deviceName, std::wstring(kDisplayDriver)})
                   : std::nullopt;
    }
    if (device != nullptr && !sim::EqualsIgnoringCase(driver, device)) {
        return std::nullopt;
    }
    return AttachedAdapter(displays, driver);
}

// Records an image colour management call as refused; 0 is both calls' failure.
int RefuseIcmCall(sim::Machine& machine, sim::IcmCall call, DWORD error) {
    call.accepted = false;
    machine.Colors().RecordIcmCall(std::move(call));
    SetLastError(error);
    return 0;
}

bool IsProfileFile(sim::Machine& machine, std::wstring_view name) {
    const auto bytes = sim::ReadProfileFile(sim::ProfileHostPath(machine, name));
    return bytes && sim::CheckProfile(*bytes) != sim::ProfileCheck::Unreadable;
}

// The adapter a gamma call reaches through its device context.
std::optional<std::wstring> AdapterOfDc(HDC dc, LPVOID ramp) {
    auto& machine = sim::Machine::Current();
    const auto adapter = machine.Displays().DcAdapter(dc);
    if (!adapter || ramp == nullptr) {
        SetLastError(adapter ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return std::nullopt;
    }
    return adapter;
}

// The part of `rect` inside `clip`, or nothing when they do not overlap.
std::optional<RECT> Clipped(const RECT& rect, LPCRECT clip) {
    if (clip == nullptr) {
        return rect;
    }
    const RECT inside{std::max(rect.left, clip->left), std::max(rect.top, clip->top),
                      std::min(rect.right, clip->right), std::min(rect.bottom, clip->bottom)};
    if (inside.left >= inside.right || inside.top >= inside.bottom) {
        return std::nullopt;
    }
    return inside;
}

}  // namespace

BOOL WINAPI GetDeviceGammaRamp(HDC dc, LPVOID ramp) {
    auto& machine = sim::Machine::CurrentCaughtUp();
    if (const auto error = machine.TakeFailure("GetDeviceGammaRamp")) {
        SetLastError(*error);
        return FALSE;
    }
    const auto adapter = AdapterOfDc(dc, ramp);
    if (!adapter) {
        return FALSE;
    }
    const sim::GammaRamp current = machine.Displays().CurrentRamp(*adapter);
    std::memcpy(ramp, current.data(), sizeof current);
    return TRUE;
}

BOOL WINAPI SetDeviceGammaRamp(HDC dc, LPVOID ramp) {
    auto& machine = sim::Machine::CurrentCaughtUp();
    if (const auto error = machine.TakeFailure("SetDeviceGammaRamp")) {
        SetLastError(*error);
        return FALSE;
    }
    auto adapter = AdapterOfDc(dc, ramp);
    if (!adapter) {
        return FALSE;
    }
    sim::GammaRamp loaded;
    std::memcpy(loaded.data(), ramp, sizeof loaded);
    machine.Displays().LoadRamp(std::move(*adapter), loaded);
    return TRUE;
}

namespace sim {

FARPROC Gdi32Export(std::string_view name) {
    static const NamedEntryPoint kEntryPoints[] = {
        {"GetDeviceGammaRamp", AsFarProc(&GetDeviceGammaRamp)},
        {"SetDeviceGammaRamp", AsFarProc(&SetDeviceGammaRamp)},
    };
    return FindEntryPoint(kEntryPoints, name);
}

}  // namespace sim

BOOL WINAPI EnumDisplayDevicesW(LPCWSTR device, DWORD deviceIndex, PDISPLAY_DEVICEW displayDevice,
                                DWORD flags) {
    auto& machine = sim::Machine::CurrentCaughtUp();
    if (const auto error = machine.TakeFailure("EnumDisplayDevicesW")) {
        SetLastError(*error);
        return FALSE;
    }
    if (displayDevice == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (device == nullptr) {
        const auto adapters = machine.Displays().Adapters();
        if (deviceIndex >= adapters.size()) {
            return FALSE;
        }
        const auto& adapter = adapters[deviceIndex];
        return FillDisplayDevice(*displayDevice, adapter.deviceName, adapter.deviceString,
                                 adapter.stateFlags, adapter.deviceId);
    }
    const auto adapter = machine.Displays().FindAdapter(device);
    if (!adapter || deviceIndex >= adapter->monitors.size()) {
        return FALSE;
    }
    const auto& monitor = adapter->monitors[deviceIndex];
    const bool interfaceName = (flags & EDD_GET_DEVICE_INTERFACE_NAME) != 0;
    return FillDisplayDevice(*displayDevice, monitor.deviceName, monitor.deviceString,
                             monitor.stateFlags,
                             interfaceName ? monitor.interfaceName : monitor.deviceId);
}

BOOL WINAPI EnumDisplaySettingsW(LPCWSTR deviceName, DWORD modeNumber, DEVMODEW* devMode) {
    auto& machine = sim::Machine::CurrentCaughtUp();
    if (const auto error = machine.TakeFailure("EnumDisplaySettingsW")) {
        SetLastError(*error);
        return FALSE;
    }
    if (devMode == nullptr || devMode->dmSize < kSmallestDevMode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto adapter = deviceName == nullptr ? PrimaryAdapter(machine.Displays())
                                               : machine.Displays().FindAdapter(deviceName);
    const sim::DisplaySettings* settings = adapter ? SettingsFor(*adapter, modeNumber) : nullptr;
    if (settings == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FillDevMode(*devMode, *adapter, *settings);
    return TRUE;
}

HDC WINAPI CreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR, const DEVMODEW*) {
    auto& machine = sim::Machine::CurrentCaughtUp();
    if (const auto error = machine.TakeFailure("CreateDCW")) {
        SetLastError(*error);
        return nullptr;
    }
    auto binding = BindDc(machine.Displays(), driver, device);
    if (!binding) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return machine.Displays().CreateDc(std::move(binding->adapter), std::move(binding->target));
}

BOOL WINAPI DeleteDC(HDC dc) {
    if (!sim::Machine::Current().Displays().DeleteDc(dc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

int WINAPI SetICMMode(HDC dc, int mode) {
    auto& machine = sim::Machine::Current();
    const auto context = machine.Displays().FindDc(dc);
    if (!context) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    sim::IcmCall call{sim::IcmCall::Kind::SetIcmMode, context->target, mode, {}, true};
    if (const auto error = machine.TakeFailure("SetICMMode")) {
        return RefuseIcmCall(machine, std::move(call), *error);
    }
    if (mode != ICM_OFF && mode != ICM_ON && mode != ICM_QUERY) {
        return RefuseIcmCall(machine, std::move(call), ERROR_INVALID_PARAMETER);
    }
    const auto result =
        mode == ICM_QUERY ? context->icmMode : machine.Displays().SwapIcmMode(dc, mode);
    if (!result) {  // deleted meanwhile
        return RefuseIcmCall(machine, std::move(call), ERROR_INVALID_HANDLE);
    }
    machine.Colors().RecordIcmCall(std::move(call));
    return *result;
}

BOOL WINAPI SetICMProfileW(HDC dc, LPWSTR fileName) {
    auto& machine = sim::Machine::Current();
    const auto context = machine.Displays().FindDc(dc);
    if (!context) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    sim::IcmCall call{sim::IcmCall::Kind::SetIcmProfile, context->target, 0,
                      fileName == nullptr ? L"" : fileName, true};
    if (const auto error = machine.TakeFailure("SetICMProfileW")) {
        return RefuseIcmCall(machine, std::move(call), *error);
    }
    if (fileName == nullptr) {
        return RefuseIcmCall(machine, std::move(call), ERROR_INVALID_PARAMETER);
    }
    if (!IsProfileFile(machine, fileName)) {
        return RefuseIcmCall(machine, std::move(call), sim::kErrorInvalidProfile);
    }
    machine.Colors().RecordIcmCall(std::move(call));
    return TRUE;
}

BOOL WINAPI GdiFlush() {
    sim::Machine::Current().Colors().RecordGdiFlush();
    return TRUE;
}

// Device-context enumeration is not modelled: the HDC must be null.
BOOL WINAPI EnumDisplayMonitors(HDC dc, LPCRECT clip, MONITORENUMPROC enumProc, LPARAM data) {
    auto& machine = sim::Machine::CurrentCaughtUp();
    if (const auto error = machine.TakeFailure("EnumDisplayMonitors")) {
        SetLastError(*error);
        return FALSE;
    }
    if (dc != nullptr || enumProc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The callback calls back into the model: it must run without its lock.
    for (const auto& display : machine.Displays().DesktopMonitors()) {
        auto rect = Clipped(display.rect, clip);
        if (rect && !enumProc(display.handle, nullptr, &*rect, data)) {
            return FALSE;
        }
    }
    return TRUE;
}

BOOL WINAPI GetMonitorInfoW(HMONITOR monitor, LPMONITORINFO info) {
    auto& machine = sim::Machine::CurrentCaughtUp();
    if (const auto error = machine.TakeFailure("GetMonitorInfoW")) {
        SetLastError(*error);
        return FALSE;
    }
    if (info == nullptr ||
        (info->cbSize != sizeof(MONITORINFO) && info->cbSize != sizeof(MONITORINFOEXW))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto display = machine.Displays().FindDesktopMonitor(monitor);
    if (!display) {
        SetLastError(ERROR_INVALID_MONITOR_HANDLE);
        return FALSE;
    }
    info->rcMonitor = display->rect;
    info->rcWork = display->rect;
    info->dwFlags = display->primary ? MONITORINFOF_PRIMARY : 0;
    if (info->cbSize == sizeof(MONITORINFOEXW)) {
        CopyName(static_cast<MONITORINFOEXW*>(info)->szDevice, display->device);
    }
    return TRUE;
}
