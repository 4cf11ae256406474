#include "discovery/display_type.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cwctype>
#include <string>
#include <vector>

#include "discovery/display_detection.h"
#include "services/log_helper.h"
#include "services/wmi_util.h"

namespace discovery {

namespace {

constexpr const char* kMorven = "MORVEN";
constexpr const char* kTalvik = "TALVIK";
constexpr const char* kTalvikR = "TALVIKR";
constexpr const wchar_t* kIntel = L"INTEL";
constexpr const wchar_t* kAmd = L"AMD";

constexpr const wchar_t* kVideoControllerQuery = L"SELECT Name FROM Win32_VideoController";
constexpr const wchar_t* kNameProperty = L"Name";

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

}  // namespace

int GetDisplayType() {
    const std::string deviceType = UpperCase(DeviceType());
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

}  // namespace discovery
