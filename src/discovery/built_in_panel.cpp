#include "discovery/built_in_panel.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <limits>
#include <string_view>

#include "services/wmi_util.h"

namespace discovery {

namespace {

constexpr wchar_t kConnectionQuery[] =
    L"SELECT InstanceName, VideoOutputTechnology FROM WmiMonitorConnectionParams";
constexpr std::size_t kInstanceColumn = 0;
constexpr std::size_t kTechnologyColumn = 1;
constexpr std::size_t kMostDigits = 10;  // 4294967295

// D3DKMDT_VIDEO_OUTPUT_TECHNOLOGY, which WMI and the display configuration
// share. Embedded DisplayPort and UDI connect only built-in panels.
constexpr std::uint32_t kInternal = 0x80000000;
constexpr std::uint32_t kDisplayPortEmbedded = 11;
constexpr std::uint32_t kUdiEmbedded = 13;

// Windows' error codes as the display configuration returns them.
constexpr LONG kSuccess = ERROR_SUCCESS;
constexpr LONG kBufferTooSmall = ERROR_INSUFFICIENT_BUFFER;
// The configuration may change between the size query and the query itself,
// which then wants larger arrays; a few attempts outlast a display change.
constexpr int kQueryAttempts = 3;

// \\?\DISPLAY#<hardware id>#<instance>#{interface class}
constexpr std::wstring_view kDevicePathPrefix = L"\\\\?\\";
constexpr wchar_t kDevicePathSeparator = L'#';
constexpr wchar_t kDeviceIdSeparator = L'\\';

bool IsBuiltIn(std::uint32_t technology) {
    return technology == kInternal || technology == kDisplayPortEmbedded ||
           technology == kUdiEmbedded;
}

// Windows compares device ids without regard to case.
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](wchar_t x, wchar_t y) { return std::towupper(x) == std::towupper(y); });
}

bool AllDigits(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return std::iswdigit(c); });
}

// An instance name is the device id, "_" and the index of the instance.
bool InstanceOf(const std::wstring& instanceName, const std::wstring& id) {
    const auto underscore = instanceName.rfind(L'_');
    if (underscore == std::wstring::npos || underscore + 1 == instanceName.size()) {
        return false;
    }
    const std::wstring_view name(instanceName);
    return AllDigits(name.substr(underscore + 1)) &&
           EqualsIgnoringCase(name.substr(0, underscore), id);
}

// The device id a monitor interface path names, or empty.
std::wstring DeviceIdOfPath(std::wstring_view path) {
    const auto classStart = path.rfind(kDevicePathSeparator);
    if (!path.starts_with(kDevicePathPrefix) || classStart == std::wstring_view::npos ||
        classStart < kDevicePathPrefix.size()) {
        return {};
    }
    std::wstring id(path.substr(kDevicePathPrefix.size(), classStart - kDevicePathPrefix.size()));
    std::replace(id.begin(), id.end(), kDevicePathSeparator, kDeviceIdSeparator);
    return id;
}

// A connection as WMI's query gives it: decimal text of a 32-bit value.
std::optional<std::uint32_t> Technology(const std::optional<std::wstring>& text) {
    if (!text || text->empty() || text->size() > kMostDigits || !AllDigits(*text)) {
        return std::nullopt;
    }
    const unsigned long long value = std::stoull(*text);
    if (value > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

// The instance names WMI gives the monitors connected as built-in panels.
std::vector<std::wstring> InstancesFromWmi() {
    OrvSDK::WmiQuery wmi(kWmiNamespaceWmi);
    std::vector<OrvSDK::WmiQuery::Row> rows;
    std::vector<std::wstring> instances;
    if (wmi.ExcuteQueryRows(kConnectionQuery, {L"InstanceName", L"VideoOutputTechnology"}, rows) !=
        0) {
        return instances;
    }
    for (const auto& row : rows) {
        const auto technology = Technology(row[kTechnologyColumn]);
        if (row[kInstanceColumn] && technology && IsBuiltIn(*technology)) {
            instances.push_back(*row[kInstanceColumn]);
        }
    }
    return instances;
}

std::optional<std::wstring> BuiltInTargetPath(const DISPLAYCONFIG_PATH_INFO& path) {
    DISPLAYCONFIG_TARGET_DEVICE_NAME name{};
    name.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME;
    name.header.size = sizeof(name);
    name.header.adapterId = path.targetInfo.adapterId;
    name.header.id = path.targetInfo.id;
    if (DisplayConfigGetDeviceInfo(&name.header) != kSuccess ||
        !IsBuiltIn(static_cast<std::uint32_t>(name.outputTechnology))) {
        return std::nullopt;
    }
    return std::wstring(name.monitorDevicePath);
}

std::vector<DISPLAYCONFIG_PATH_INFO> ActivePaths() {
    for (int attempt = 0; attempt < kQueryAttempts; ++attempt) {
        UINT32 pathCount = 0;
        UINT32 modeCount = 0;
        if (GetDisplayConfigBufferSizes(QDC_ONLY_ACTIVE_PATHS, &pathCount, &modeCount) !=
            kSuccess) {
            return {};
        }
        std::vector<DISPLAYCONFIG_PATH_INFO> paths(pathCount);
        std::vector<DISPLAYCONFIG_MODE_INFO> modes(modeCount);
        const LONG result = QueryDisplayConfig(QDC_ONLY_ACTIVE_PATHS, &pathCount, paths.data(),
                                               &modeCount, modes.data(), nullptr);
        if (result == kSuccess) {
            paths.resize(pathCount);
            return paths;
        }
        if (result != kBufferTooSmall) {
            return {};
        }
    }
    return {};
}

// The device ids of the targets the display configuration marks as built in.
std::vector<std::wstring> IdsFromDisplayConfig() {
    std::vector<std::wstring> ids;
    for (const auto& path : ActivePaths()) {
        if (const auto devicePath = BuiltInTargetPath(path)) {
            ids.push_back(DeviceIdOfPath(*devicePath));
        }
    }
    return ids;
}

template <typename Matches>
std::optional<std::wstring> FirstMatching(const std::vector<std::wstring>& ids,
                                          const std::vector<std::wstring>& builtIn,
                                          Matches matches) {
    for (const auto& id : ids) {
        if (std::any_of(builtIn.begin(), builtIn.end(),
                        [&](const std::wstring& panel) { return matches(panel, id); })) {
            return id;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::wstring> FindBuiltInPanel(const std::vector<std::wstring>& ids) {
    if (auto panel = FirstMatching(ids, InstancesFromWmi(), InstanceOf)) {
        return panel;
    }
    return FirstMatching(ids, IdsFromDisplayConfig(),
                         [](const std::wstring& panel, const std::wstring& id) {
                             return !panel.empty() && EqualsIgnoringCase(panel, id);
                         });
}

}  // namespace discovery
