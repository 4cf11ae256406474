// The detection exports that work on their own rather than through the
// colour operator: the graphics vendor and the count of physical monitors.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cwctype>
#include <string>
#include <vector>

#include "discovery/display_detection.h"
#include "services/log_helper.h"
#include "services/wmi_util.h"
#include "tintwell/tintwell.h"

namespace {

enum DisplayType : int {
    kIntelDisplay = 0,
    kAmdOnTalvik = 1,
    kMorvenDevice = 2,
    kOtherAmd = 3,
    kNoDisplayType = -1,
};

constexpr const char* kMorven = "MORVEN";
constexpr const char* kTalvik = "TALVIK";
constexpr const char* kTalvikR = "TALVIKR";
constexpr const wchar_t* kIntel = L"INTEL";
constexpr const wchar_t* kAmd = L"AMD";

constexpr const wchar_t* kVideoControllerQuery = L"SELECT Name FROM Win32_VideoController";
constexpr const wchar_t* kNameProperty = L"Name";

// Adapters of virtual displays, which drive no physical monitor.
constexpr const wchar_t* kVirtualDisplayDrivers[] = {L"IndirectDSP\\VirtualDisplayDriver",
                                                     L"root\\VirtualDisplayDriver"};
// The maker's own monitor, which is not counted as a physical monitor.
constexpr const wchar_t* kUncountedMonitor = L"MONITOR\\ORV2016";

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::wstring UpperCase(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    return text;
}

bool IsVirtualDisplayAdapter(const DISPLAY_DEVICEW& adapter) {
    return std::any_of(
        std::begin(kVirtualDisplayDrivers), std::end(kVirtualDisplayDrivers),
        [&](const wchar_t* driver) { return driver == std::wstring(adapter.DeviceID); });
}

}  // namespace

int GetDisplayType() {
    const std::string deviceType = UpperCase(discovery::DeviceType());
    if (deviceType == kMorven) {
        LogMessage(LOG_LEVEL_INFO, L"device is MORVEN");
        return kMorvenDevice;
    }
    OrvSDK::WmiQuery query(kWmiNamespaceCimV2);
    std::vector<std::wstring> names;
    if (query.ExcuteQuery(kVideoControllerQuery, kNameProperty, names, false) != 0) {
        LogMessage(LOG_LEVEL_ERROR, L"excute wmi ExcuteQuery failed");
        return kNoDisplayType;
    }
    for (const std::wstring& name : names) {
        LogMessage(LOG_LEVEL_INFO, name.c_str());
        OutputDebugStringW((L"display name:" + name + L"(GetDisplayType)\n").c_str());
        const std::wstring upper = UpperCase(name);
        if (upper.find(kIntel) != std::wstring::npos) {
            return kIntelDisplay;
        }
        if (upper.find(kAmd) != std::wstring::npos) {
            return deviceType == kTalvik || deviceType == kTalvikR ? kAmdOnTalvik : kOtherAmd;
        }
    }
    const std::wstring notFound =
        L"display type is not find!find display card size:" + std::to_wstring(names.size());
    LogMessage(LOG_LEVEL_ERROR, notFound.c_str());
    return kNoDisplayType;
}

int GetPhyMonitorCount() {
    int count = 0;
    for (const auto& adapter : discovery::DisplayAdapters()) {
        if (IsVirtualDisplayAdapter(adapter)) {
            continue;
        }
        for (const auto& monitor : discovery::AdapterMonitors(adapter)) {
            if (std::wstring_view(monitor.DeviceID).find(kUncountedMonitor) ==
                std::wstring_view::npos) {
                ++count;
            }
        }
    }
    return count;
}
