#include "discovery/display_detection.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "log/debug_line.h"
#include "log/log_line.h"
#include "services/hardware_hal.h"
#include "services/product_adapt_mgr.h"

namespace discovery {

namespace {

constexpr std::size_t kDeviceTypeBufferSize = 1024;
constexpr std::size_t kMonitorCodeLength = 8;
constexpr std::size_t kMonitorCodeCharacters = kMonitorCodeLength - 1;
constexpr wchar_t kMakerCode[] = L"ORV";

// An adapter (parent null) or a monitor of the adapter named `parent`.
std::optional<DISPLAY_DEVICEW> DisplayDevice(LPCWSTR parent, DWORD index) {
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    if (!EnumDisplayDevicesW(parent, index, &device, 0)) {
        return std::nullopt;
    }
    return device;
}

std::vector<DISPLAY_DEVICEW> EnumerateDevices(LPCWSTR parent) {
    std::vector<DISPLAY_DEVICEW> devices;
    while (auto device = DisplayDevice(parent, static_cast<DWORD>(devices.size()))) {
        devices.push_back(*device);
    }
    return devices;
}

bool HasFlags(DWORD stateFlags, DWORD wanted) {
    return (stateFlags & wanted) == wanted;
}

// Up to 7 characters between the device id's first and second backslash (the
// manufacturer and product code, such as ORV2016), padded with zero
// characters to 8; nothing without a second backslash.
std::optional<std::wstring> MonitorCode(const std::wstring& deviceId) {
    const auto first = deviceId.find(L'\\');
    const auto second = first == std::wstring::npos ? first : deviceId.find(L'\\', first + 1);
    if (second == std::wstring::npos) {
        return std::nullopt;
    }
    std::wstring code =
        deviceId.substr(first + 1, std::min(second - first - 1, kMonitorCodeCharacters));
    code.resize(kMonitorCodeLength, L'\0');
    return code;
}

bool ReadsSettings(const DISPLAY_DEVICEW& adapter, DWORD which) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmDriverExtra = 0;
    return EnumDisplaySettingsW(adapter.DeviceName, which, &mode);
}

}  // namespace

std::vector<DISPLAY_DEVICEW> DisplayAdapters() {
    return EnumerateDevices(nullptr);
}

std::vector<DISPLAY_DEVICEW> AdapterMonitors(const DISPLAY_DEVICEW& adapter) {
    return EnumerateDevices(adapter.DeviceName);
}

std::string DeviceType() {
    return ProductCheckSupport::GetDeviceTypeEx();
}

bool IsDesktopComputer() {
    return SmBiosHelper::GetInstance().GetSecType() == SmBiosHelper::kDesktopChassis;
}

void CopyDeviceType(char* buffer) {
    if (buffer == nullptr) {
        return;
    }
    const std::string type = DeviceType();
    DebugTrace("OperateColor::GetDeviceType")
        << L"device type is " << type << L" device.size()" << type.size();
    if (!type.empty() && type.size() + 1 < kDeviceTypeBufferSize) {
        std::memcpy(buffer, type.c_str(), type.size() + 1);
    }
}

void BuildDisplayDeviceList(std::vector<DisplayDeviceRecord>& list) {
    for (const auto& adapter : DisplayAdapters()) {
        for (const auto& monitor : AdapterMonitors(adapter)) {
            if (!HasFlags(monitor.StateFlags, DISPLAY_DEVICE_ACTIVE | DISPLAY_DEVICE_ATTACHED)) {
                continue;
            }
            const auto code = MonitorCode(monitor.DeviceID);
            if (!code) {
                continue;
            }
            list.push_back({monitor.DeviceName, *code});
            DebugTrace() << L"[LCD DisplayDevices DeviceName] " << list.back().deviceName;
            DebugTrace() << L"[LCD DisplayDevices monitor name] " << list.back().monitorCode;
        }
    }
}

bool IsMakersMonitor(const DisplayDeviceRecord& record) {
    return record.monitorCode.find(kMakerCode) != std::wstring::npos;
}

bool HaveOrvMonitor(const std::vector<DisplayDeviceRecord>& list) {
    for (const auto& record : list) {
        DebugTrace() << L"[LCD HaveOrvMonitor begin] ";
        if (IsMakersMonitor(record)) {
            return true;
        }
    }
    return false;
}

std::wstring GetMainActiveDeviceName(const char* source) {
    for (const auto& adapter : DisplayAdapters()) {
        if (!ReadsSettings(adapter, ENUM_REGISTRY_SETTINGS)) {
            Log(log_level::kError, source) << L"EnumDisplaySettings failed.";
        }
        if (HasFlags(adapter.StateFlags,
                     DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | DISPLAY_DEVICE_PRIMARY_DEVICE)) {
            return adapter.DeviceName;
        }
    }
    return std::wstring();
}

std::wstring FirstAdapterName() {
    const auto adapter = DisplayDevice(nullptr, 0);
    if (!adapter || !ReadsSettings(*adapter, ENUM_CURRENT_SETTINGS)) {
        return std::wstring();
    }
    return adapter->DeviceName;
}

}  // namespace discovery
