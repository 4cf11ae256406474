// The Windows colour management side of a switch: the monitor it acts on,
// installing and associating the profile, and the handles that takes.
#include <algorithm>
#include <array>
#include <cwchar>
#include <optional>
#include <string_view>

#include "colorfield/color_field.h"
#include "colorfield/color_field_codes.h"
#include "log/log_line.h"
#include "platform/files.h"
#include "platform/mscms_library.h"
#include "settings/settings_accessors.h"
#include "temperature/gamma_ramp_readback.h"

namespace {

constexpr int kInstalled = 0;

constexpr DWORD kActiveAndAttached = DISPLAY_DEVICE_ACTIVE | DISPLAY_DEVICE_ATTACHED;
constexpr std::size_t kMonitorCodeLength = 7;
constexpr WCS_PROFILE_MANAGEMENT_SCOPE kUserScope = WCS_PROFILE_MANAGEMENT_SCOPE_CURRENT_USER;
// LCS_sRGB, the four characters 'sRGB' as one number.
constexpr DWORD kSrgbColorSpace = 0x73524742;

constexpr std::size_t kRampEntries = 256;
constexpr unsigned kAssociationRampStep = 228;
constexpr unsigned kRampLimit = 65535;

// InstallColorProfileW needs administrator rights, which a front-end of a
// standard user lacks. A profile the suite's installer put in the colour
// directory under the same name, byte for byte, is installed already. A bare
// name is how colour management names a profile of that directory (the
// default it reports, which an undo switches back to): that file is meant,
// not one of the working folder, and InstallColorProfileW, which wants a
// full path, would refuse it.
bool InstalledWithSameBytes(const MscmsEntryPoints& mscms, const std::wstring& path) {
    std::array<wchar_t, MAX_PATH> directory{};
    DWORD size = sizeof directory;
    if (!mscms.GetColorDirectoryW(nullptr, directory.data(), &size)) {
        return false;
    }
    const std::size_t separator = path.find_last_of(L"\\/");
    const std::wstring name = path.substr(separator + 1);
    const auto installed = platform::ReadWholeFile(std::wstring(directory.data()) + L"\\" + name);
    if (separator == std::wstring::npos) {
        return installed.has_value();
    }
    const auto verified = platform::ReadWholeFile(path);
    return installed && verified && *installed == *verified;
}

// A step of a switch loads mscms for its own length. Without it the step
// fails as it does when its first call into mscms fails, with this line.
bool Usable(const MscmsLibrary& mscms, const char* source) {
    if (!mscms.Loaded()) {
        Log(log_level::kError, source) << L"mscms not loaded from the system directory! ErrorCode:"
                                       << static_cast<unsigned long>(GetLastError());
    }
    return mscms.Loaded();
}

DISPLAY_DEVICEW EmptyDisplayDevice() {
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    return device;
}

// The characters between the device id's first and second backslash, at
// most seven; none without a second backslash.
std::optional<std::wstring> MonitorCode(std::wstring_view deviceId) {
    const std::size_t first = deviceId.find(L'\\');
    if (first == std::wstring_view::npos) {
        return std::nullopt;
    }
    const std::size_t second = deviceId.find(L'\\', first + 1);
    if (second == std::wstring_view::npos) {
        return std::nullopt;
    }
    const std::size_t length = std::min(second - first - 1, kMonitorCodeLength);
    return std::wstring(deviceId.substr(first + 1, length));
}

void AppendActiveMonitors(const DISPLAY_DEVICEW& adapter, std::vector<MonitorDeviceInfo>& list) {
    DISPLAY_DEVICEW monitor = EmptyDisplayDevice();
    for (DWORD index = 0; EnumDisplayDevicesW(adapter.DeviceName, index, &monitor, 0);
         ++index, monitor = EmptyDisplayDevice()) {
        if ((monitor.StateFlags & kActiveAndAttached) != kActiveAndAttached) {
            continue;
        }
        if (const auto code = MonitorCode(monitor.DeviceID)) {
            list.push_back({monitor.DeviceName, monitor.DeviceID, *code, monitor.DeviceString});
        }
    }
}

BOOL CALLBACK FindDisplayAtOrigin(HMONITOR monitor, HDC, LPRECT, LPARAM nameAddress) {
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info) && info.rcMonitor.left == 0 && info.rcMonitor.top == 0) {
        *reinterpret_cast<std::wstring*>(nameAddress) = info.szDevice;
    }
    return TRUE;
}

bool Contains(const std::wstring& text, std::wstring_view part) {
    return text.find(part) != std::wstring::npos;
}

// A monitor's device name is its display's name, a backslash and the
// monitor's part: \\.\DISPLAY1 is the display of \\.\DISPLAY1\Monitor0 and
// not of \\.\DISPLAY10\Monitor0. No display at the origin leaves the name
// empty, and then every monitor is on it.
bool IsOnDisplay(const MonitorDeviceInfo& monitor, std::wstring_view display) {
    const std::wstring_view name = monitor.deviceName;
    return display.empty() || name == display ||
           name.substr(0, name.find_last_of(L'\\')) == display;
}

class HandlesOfOneSwitch {
  public:
    explicit HandlesOfOneSwitch(ColorField& field) : field_(field) {}
    ~HandlesOfOneSwitch() { field_.ReleaseProfileHandles(); }
    HandlesOfOneSwitch(const HandlesOfOneSwitch&) = delete;
    HandlesOfOneSwitch& operator=(const HandlesOfOneSwitch&) = delete;

  private:
    ColorField& field_;
};

}  // namespace

void ColorField::RefreshMonitorList() {
    monitorList_.clear();
    DISPLAY_DEVICEW adapter = EmptyDisplayDevice();
    for (DWORD index = 0; EnumDisplayDevicesW(nullptr, index, &adapter, 0);
         ++index, adapter = EmptyDisplayDevice()) {
        AppendActiveMonitors(adapter, monitorList_);
    }
    mainDisplayDeviceName_.clear();
    EnumDisplayMonitors(nullptr, nullptr, FindDisplayAtOrigin,
                        reinterpret_cast<LPARAM>(&mainDisplayDeviceName_));
    ChooseCurrentMonitor(ColorFieldSettings().GetColorFieldSetType(color_field::kNoSetting));
}

// On the DDC/CI road the maker's monitor is the one that changes gamut, so
// when there is exactly one it is the monitor colour management acts on,
// wherever it stands on the desktop.
void ColorField::ChooseCurrentMonitor(int setType) {
    if (setType != color_field::kDdcciRoad) {
        const auto main =
            std::find_if(monitorList_.begin(), monitorList_.end(),
                         [&](const auto& m) { return IsOnDisplay(m, mainDisplayDeviceName_); });
        if (main != monitorList_.end()) {
            currentMonitor_ = *main;
        }
        return;
    }
    std::vector<const MonitorDeviceInfo*> makersMonitors;
    for (const auto& monitor : monitorList_) {
        if (IsOnDisplay(monitor, mainDisplayDeviceName_)) {
            currentMonitor_ = monitor;
        }
        if (Contains(monitor.deviceString, color_field::kVendorId)) {
            makersMonitors.push_back(&monitor);
        }
    }
    if (makersMonitors.size() == 1) {
        currentMonitor_ = *makersMonitors.front();
    }
}

bool ColorField::QueryCurrentIccFile(std::wstring& name) {
    RefreshMonitorList();
    const std::wstring device = ColorManagementDeviceName();
    if (device.empty()) {
        Log(log_level::kError, "ColorField::QueryCurrentIccFile")
            << L"currentMainMonitorName empty!";
        return false;
    }
    const MscmsLibrary mscms;
    if (!Usable(mscms, "ColorField::QueryCurrentIccFile")) {
        return false;
    }
    WCHAR profileName[MAX_PATH] = {};
    if (!mscms.EntryPoints().WcsGetDefaultColorProfile(kUserScope, device.c_str(), CPT_ICC,
                                                       CPST_RGB_WORKING_SPACE, 0,
                                                       sizeof profileName, profileName)) {
        Log(log_level::kError, "ColorField::QueryCurrentIccFile")
            << L"WcsGetDefaultColorProfile Failed! currentMainMonitorName:" << device
            << L", ErrorCode:" << static_cast<unsigned long>(GetLastError());
        return false;
    }
    name.assign(profileName, wcsnlen(profileName, MAX_PATH));
    return true;
}

UniqueProfile ColorField::GetProfileHandle(const std::wstring& path) {
    const MscmsLibrary mscms;
    if (!Usable(mscms, "ColorField::GetProfileHandle")) {
        return nullptr;
    }
    PROFILE profile{};
    profile.dwType = PROFILE_FILENAME;
    profile.pProfileData = const_cast<wchar_t*>(path.c_str());
    profile.cbDataSize = static_cast<DWORD>((path.size() + 1) * sizeof(WCHAR));
    UniqueProfile handle =
        mscms.OpenProfile(&profile, PROFILE_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (!handle) {
        Log(log_level::kError, "ColorField::GetProfileHandle")
            << L"GetProfileHandle OpenColorProfile Failed!" << path << L", buf size:" << path.size()
            << L", cbDataSize:" << profile.cbDataSize;
        return nullptr;
    }
    Log(log_level::kInfo, "ColorField::GetProfileHandle")
        << L"GetProfileHandle OpenColorProfile Success!" << path << L", buf size:" << path.size()
        << L", cbDataSize:" << profile.cbDataSize;
    BOOL valid = FALSE;
    if (!mscms.EntryPoints().IsColorProfileValid(handle.get(), &valid) || !valid) {
        Log(log_level::kError, "ColorField::GetProfileHandle")
            << L"GetProfileHandle Profile Not Valid!";
        return nullptr;
    }
    return handle;
}

int ColorField::InstallIccFile(const std::wstring& path) {
    const MscmsLibrary mscms;
    if (!Usable(mscms, "ColorField::InstallIccFile")) {
        return color_field::kProfileFailed;
    }
    iccProfile_ = GetProfileHandle(path);
    if (!iccProfile_) {
        Log(log_level::kError, "ColorField::InstallIccFile")
            << L"Get CurrentProFileHandle Failed! fileName:" << path;
        return color_field::kProfileFailed;
    }
    WCHAR standardPath[MAX_PATH] = {};
    DWORD size = sizeof standardPath;
    mscms.EntryPoints().GetStandardColorSpaceProfileW(nullptr, kSrgbColorSpace, standardPath,
                                                      &size);
    const std::wstring standard(standardPath, wcsnlen(standardPath, MAX_PATH));
    standardProfile_ = GetProfileHandle(standard);
    if (!standardProfile_) {
        Log(log_level::kError, "ColorField::InstallIccFile")
            << L"Get StandardProfileHandle Failed! fileName:" << standard;
        return color_field::kProfileFailed;
    }
    if (InstalledWithSameBytes(mscms.EntryPoints(), path)) {
        Log(log_level::kInfo, "ColorField::InstallIccFile")
            << L"The colour directory holds the same profile; no install. fileName:" << path;
        return kInstalled;
    }
    if (!mscms.EntryPoints().InstallColorProfileW(nullptr, path.c_str())) {
        Log(log_level::kError, "ColorField::InstallIccFile")
            << L"InstallColorProfile Failed! fileName:" << path;
        return color_field::kProfileFailed;
    }
    return kInstalled;
}

BOOL ColorField::AssociateIccFile(const std::wstring& path) {
    Log(log_level::kTrace, "ColorField::AssociateIccFile") << path;
    const std::wstring device = ColorManagementDeviceName();
    if (device.empty()) {
        Log(log_level::kError, "ColorField::AssociateIccFile") << L"currentMainMonitorName empty!";
        return FALSE;
    }
    const MscmsLibrary mscms;
    if (!Usable(mscms, "ColorField::AssociateIccFile")) {
        return FALSE;
    }
    // Windows makes no device context for a monitor's device id (the driver
    // must be DISPLAY or a display's name), so this fails there; the
    // association below does not depend on it.
    dc_.reset(CreateDCW(device.c_str(), nullptr, nullptr, nullptr));
    if (!dc_) {
        Log(log_level::kWarning, "ColorField::AssociateIccFile")
            << L"CreateDC Failed! No ICM mode and no association gamma ramp. device:" << device;
    } else if (SetICMMode(dc_.get(), ICM_ON) != 0) {
        SetICMProfileW(dc_.get(), const_cast<LPWSTR>(path.c_str()));
    }
    const MscmsEntryPoints& wcs = mscms.EntryPoints();
    wcs.WcsDisassociateColorProfileFromDevice(kUserScope, path.c_str(), device.c_str());
    return wcs.WcsAssociateColorProfileWithDevice(kUserScope, path.c_str(), device.c_str());
}

// Whatever the device shows is replaced by the same fixed ramp on every run.
bool ColorField::ApplyAssociationGammaRamp(std::wstring_view device) {
    if (!dc_) {
        return false;
    }
    std::array<WORD, 3 * kRampEntries> ramp{};
    const bool read = GetDeviceGammaRamp(dc_.get(), ramp.data()) != FALSE;
    for (std::size_t i = 0; i < kRampEntries; ++i) {
        const auto value =
            static_cast<WORD>(std::min<unsigned>(i * kAssociationRampStep, kRampLimit));
        ramp[i] = ramp[kRampEntries + i] = ramp[2 * kRampEntries + i] = value;
    }
    const bool written = SetDeviceGammaRamp(dc_.get(), ramp.data()) != FALSE;
    GdiFlush();
    if (written) {
        DisplayHoldsRamp(dc_.get(), ramp, &GetDeviceGammaRamp, device,
                         "ColorField::ApplyAssociationGammaRamp");
    }
    return read && written;
}

void ColorField::ReleaseProfileHandles() {
    iccProfile_.reset();
    standardProfile_.reset();
    dc_.reset();
}

// The handles are released on every path, an exception's included: kept
// open after a failed install they would hold the profile files open until
// the next switch, and left at unload they could not be closed at all.
int ColorField::SwitchIccFile(std::wstring path) {
    const HandlesOfOneSwitch handles(*this);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    if (const int installed = InstallIccFile(path); installed != kInstalled) {
        Log(log_level::kError, "ColorField::SwitchIccFile")
            << L"InstallIccFile Failed! fileName:" << path;
        return installed;
    }
    if (AssociateIccFile(path)) {
        ApplyAssociationGammaRamp(ColorManagementDeviceName());
        return kInstalled;
    }
    Log(log_level::kError, "ColorField::SwitchIccFile")
        << L"AssociateIccFile Failed! fileName:" << path;
    return color_field::kProfileFailed;
}

void ColorField::UndoIccSwitch(const std::wstring& previousName, const std::wstring& iccPath) {
    if (!previousName.empty()) {
        SwitchIccFile(previousName);
        return;
    }
    const std::wstring device = ColorManagementDeviceName();
    if (device.empty()) {
        Log(log_level::kError, "ColorField::SetColorFieldMode") << L"currentMainMonitorName empty!";
        return;
    }
    const MscmsLibrary mscms;
    if (Usable(mscms, "ColorField::SetColorFieldMode")) {
        mscms.EntryPoints().WcsDisassociateColorProfileFromDevice(kUserScope, iccPath.c_str(),
                                                                  device.c_str());
    }
}
