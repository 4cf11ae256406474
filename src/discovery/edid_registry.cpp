#include "discovery/edid_registry.h"

#include <windows.h>

#include <new>

#include "discovery/built_in_panel.h"
#include "log/log_line.h"
#include "services/wmi_util.h"
#include "util/text_conversion.h"

namespace discovery {

namespace {

constexpr wchar_t kMonitorIdQuery[] =
    L"SELECT PNPDeviceID FROM Win32_DesktopMonitor WHERE PNPDeviceID IS NOT NULL";
constexpr wchar_t kMonitorIdProperty[] = L"PNPDeviceID";
constexpr wchar_t kCaptionQuery[] = L"SELECT Caption FROM Win32_DesktopMonitor";
constexpr wchar_t kCaptionProperty[] = L"Caption";
constexpr char kEnumKey[] = "SYSTEM\\CurrentControlSet\\Enum\\";
constexpr char kParametersKey[] = "\\Device Parameters\\";
constexpr char kEdidValue[] = "EDID";
// LutHandle3D takes device ids shorter than this only.
constexpr std::size_t kLutDeviceIdLimit = 1024;
// A value of this size or more is not an EDID.
constexpr DWORD kEdidSizeLimit = 2560;

// The owners' log lines where they differ.
struct OwnerTexts {
    const char* source;
    const wchar_t* emptyPath;
    const wchar_t* openFailed;
    const wchar_t* sizeFailed;
    bool showsSize;
};

constexpr OwnerTexts kOperateColorTexts{"OperateColor::GetLcdEdidData", L"displayPath empty!",
                                        L"RegOpenKeyExA Failed!displayPath:",
                                        L"RegQueryValueExA Failed!maxValueLength:", true};
constexpr OwnerTexts kLutHandleTexts{"LutHandle3D::GetLcdEdidData", L"Edid Path is empty!",
                                     L"RegOpenKeyExA Failed! edidFullPath:",
                                     L"RegQuery max Edid value length Failed!", false};

const OwnerTexts& TextsOf(EdidOwner owner) {
    return owner == EdidOwner::LutHandle3D ? kLutHandleTexts : kOperateColorTexts;
}

// The values of one property, or nothing when the query fails; `first`
// asks for the first object's only.
std::optional<std::vector<std::wstring>> Values(const wchar_t* query, const wchar_t* property,
                                                bool first) {
    OrvSDK::WmiQuery wmi(kWmiNamespaceCimV2);
    std::vector<std::wstring> values;
    if (wmi.ExcuteQuery(query, property, values, first) != 0) {
        return std::nullopt;
    }
    return values;
}

std::optional<std::wstring> FirstValue(const wchar_t* query, const wchar_t* property) {
    const auto values = Values(query, property, true);
    return values ? std::optional<std::wstring>(values->front()) : std::nullopt;
}

// The built-in panel's id when the system names it among several monitors,
// else the first monitor's, which a laptop without a dock lists alone.
std::optional<std::wstring> PanelId() {
    const auto ids = Values(kMonitorIdQuery, kMonitorIdProperty, false);
    if (!ids) {
        return std::nullopt;
    }
    if (ids->size() > 1) {
        if (auto panel = FindBuiltInPanel(*ids)) {
            return panel;
        }
    }
    return ids->front();
}

// class\hardware id\instance: a backslash with a second one after it.
bool HasTwoBackslashes(const std::string& id) {
    const auto first = id.find('\\');
    return first != std::string::npos && id.find('\\', first + 1) != std::string::npos;
}

class OpenKey {
  public:
    OpenKey() = default;
    ~OpenKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY* Receive() { return &key_; }
    HKEY Get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

}  // namespace

std::string GetPnpDeviceID() {
    const auto id = PanelId();
    if (!id || id->empty()) {
        return WideToAnsi(FirstValue(kCaptionQuery, kCaptionProperty).value_or(L""));
    }
    std::string narrow = WideToAnsi(*id);
    return HasTwoBackslashes(narrow) ? narrow : std::string();
}

std::string GetEdidDataPath(EdidOwner owner) {
    const std::string id = GetPnpDeviceID();
    const bool usable =
        !id.empty() && (owner != EdidOwner::LutHandle3D || id.size() < kLutDeviceIdLimit);
    if (!usable) {
        if (owner == EdidOwner::LutHandle3D) {
            Log(log_level::kError, "LutHandle3D::GetEdidDataPath")
                << L"GetPnpDeviceID Failed! edidRegistryPath is empty.";
        }
        return std::string();
    }
    return kEnumKey + id + kParametersKey;
}

std::optional<std::vector<unsigned char>> ReadEdidValue(EdidOwner owner) {
    const std::string path = GetEdidDataPath(owner);
    if (path.empty()) {
        Log(log_level::kError, TextsOf(owner).source) << TextsOf(owner).emptyPath;
        return std::nullopt;
    }
    return ReadEdidValueAt(owner, path);
}

std::optional<std::vector<unsigned char>> ReadEdidValueAt(EdidOwner owner,
                                                          const std::string& path) {
    const OwnerTexts& texts = TextsOf(owner);
    OpenKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.Receive()) !=
        ERROR_SUCCESS) {
        Log(log_level::kError, texts.source) << texts.openFailed << path;
        return std::nullopt;
    }
    DWORD type = REG_BINARY;
    DWORD size = 0;
    const LSTATUS status = RegQueryValueExA(key.Get(), kEdidValue, nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS || size == 0 || size >= kEdidSizeLimit) {
        if (texts.showsSize) {
            Log(log_level::kError, texts.source) << texts.sizeFailed << size;
        } else {
            Log(log_level::kError, texts.source) << texts.sizeFailed;
        }
        return std::nullopt;
    }
    std::vector<unsigned char> value;
    try {
        value.resize(size);
    } catch (const std::bad_alloc&) {
        Log(log_level::kError, texts.source) << L"outValue is nullptr!";
        return std::nullopt;
    }
    if (RegQueryValueExA(key.Get(), kEdidValue, nullptr, &type, value.data(), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.resize(size);
    return value;
}

}  // namespace discovery
