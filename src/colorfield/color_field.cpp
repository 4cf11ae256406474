#include "colorfield/color_field.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "colorfield/color_field_codes.h"
#include "colorfield/lut_handle_3d.h"
#include "colorfield/sha256_interface.h"
#include "log/log_line.h"
#include "platform/files.h"
#include "settings/settings_accessors.h"
#include "util/text_conversion.h"

namespace {

constexpr int kIccNormal = 0;
constexpr int kIccMissing = 1;
constexpr int kIccNotVerified = 2;
constexpr int kQueryFailed = -1;

constexpr std::size_t kIccFileNameBufferSize = 1024;
constexpr const wchar_t* kWholeDisplay = L"DISPLAY";

// _access with mode 0; a missing file is logged by its path.
bool FileFound(const std::string& path) {
    const std::wstring widePath = AnsiToWide(path);
    if (platform::FileExists(widePath)) {
        return true;
    }
    Log(log_level::kError, "ColorField::CheckIsIccFileNormal")
        << L"Icc File:" << widePath << L" Not Found!";
    return false;
}

std::wstring WithBackslashes(std::wstring path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

// Mode numbers are written as signed numbers.
std::int32_t Signed(std::uint32_t mode) {
    return static_cast<std::int32_t>(mode);
}

}  // namespace

ColorField& ColorField::Instance() {
    static ColorField instance;
    return instance;
}

// Runs at unload, under the loader's lock, where GDI and colour management
// may not be called. Every switch releases its handles before it returns,
// so there is normally nothing left; whatever is, goes with the process.
ColorField::~ColorField() {
    static_cast<void>(iccProfile_.release());
    static_cast<void>(standardProfile_.release());
    static_cast<void>(dc_.release());
}

int ColorField::CheckIsIccFileNormal(const std::string& iccPath, const std::string& digestPath) {
    if (!FileFound(iccPath)) {
        return kIccMissing;
    }
    if (!FileFound(digestPath)) {
        return kIccNotVerified;
    }
    if (Sha256Interface::IsIccDigestMatch(iccPath, digestPath)) {
        return kIccNormal;
    }
    Log(log_level::kError, "ColorField::CheckIsIccFileNormal")
        << L"Icc File Be Modified! fileName:" << AnsiToWide(iccPath);
    return kIccNotVerified;
}

bool ColorField::IsLcdChanged(std::uint32_t mode, std::uint32_t setType) {
    const std::lock_guard lock(mutex_);
    return setType == color_field::kFirmwareLutRoad && LutHandle3D::Instance().IsLcdChanged(mode);
}

// An exception escaping the switch used to be answered with 0, "done": the
// profile step is the one that throws, so it is reported as that step's
// failure.
int ColorField::SetColorFieldMode(std::uint32_t mode, const char* iccPath, const char* digestPath) {
    if (iccPath == nullptr || digestPath == nullptr) {
        Log(log_level::kError, "ColorField::SetColorFieldMode")
            << L"pIccFilePath  or pIccCheckFilePath is nullptr!";
        return kIccMissing;
    }
    const std::lock_guard lock(mutex_);
    try {
        return SwitchIccAndDisplay(mode, iccPath, digestPath);
    } catch (const std::exception& error) {
        Log(log_level::kError, "ColorField::SetColorFieldMode")
            << L"SetColorFieldMode exception! Info:" << error.what();
        return color_field::kProfileFailed;
    }
}

int ColorField::SwitchIccAndDisplay(std::uint32_t mode, const char* iccPath,
                                    const char* digestPath) {
    std::wstring currentName;
    QueryCurrentIccFile(currentName);
    const auto setType = static_cast<std::uint32_t>(
        ColorFieldSettings().GetColorFieldSetType(color_field::kNoSetting));
    if (IsIccAlreadyAssociated(currentName, iccPath)) {
        Log(log_level::kTrace, "ColorField::SetColorFieldMode")
            << L"Icc Already Associated. iccFileName:" << AnsiToWide(iccPath);
        if (Signed(mode) !=
            ColorFieldSettings().GetCurrentColorFieldMode(color_field::kNoSetting)) {
            SwitchDisplayerColorField(mode, setType);
        }
        return color_field::kSwitchDone;
    }
    if (const int checked = CheckIsIccFileNormal(iccPath, digestPath); checked != kIccNormal) {
        return checked;
    }
    // The undo names the profile as the switch installed it, with backslashes.
    const std::wstring widePath = WithBackslashes(AnsiToWide(iccPath, CP_THREAD_ACP));
    if (const int switched = SwitchIccFile(widePath); switched != color_field::kSwitchDone) {
        Log(log_level::kError, "ColorField::SetColorFieldMode")
            << L"SwitchIccFile Failed! iccFileName:" << AnsiToWide(iccPath);
        return switched;
    }
    const int displayed = SwitchDisplayerColorField(mode, setType);
    if (displayed == color_field::kSwitchDone) {
        return color_field::kSwitchDone;
    }
    Log(log_level::kError, "ColorField::SetColorFieldMode")
        << L"SetDisplayerColorField Fail! iccName:" << AnsiToWide(iccPath);
    UndoIccSwitch(currentName, widePath);
    return displayed;
}

// The exception used to be answered with 0, "done", though nothing was copied.
int ColorField::GetCurrentIccFileName(char* iccFileName) {
    if (iccFileName == nullptr) {
        Log(log_level::kError, "ColorField::GetCurrentIccFileName") << L"pIccFileName is nullptr!";
        return kQueryFailed;
    }
    const std::lock_guard lock(mutex_);
    try {
        std::wstring name;
        if (!QueryCurrentIccFile(name)) {
            Log(log_level::kError, "ColorField::GetCurrentIccFileName")
                << L"Query CurrentIccFile Failed!";
            return kQueryFailed;
        }
        // A name that does not fit is not copied, and the call still succeeds.
        const std::string narrow = WideToAnsi(name);
        if (!narrow.empty() && narrow.size() + 1 < kIccFileNameBufferSize) {
            std::memcpy(iccFileName, narrow.c_str(), narrow.size() + 1);
        }
        return color_field::kSwitchDone;
    } catch (const std::exception& error) {
        Log(log_level::kError, "ColorField::GetCurrentIccFileName")
            << L"GetCurrentIccFileName exception! Info:" << error.what();
        return kQueryFailed;
    }
}

// An empty new name (a path ending in a backslash) names no profile; as a
// substring of every name it would have passed for one already associated
// and skipped every check.
bool ColorField::IsIccAlreadyAssociated(const std::wstring& currentName,
                                        const std::string& iccPathNew) {
    const std::size_t separator = iccPathNew.rfind('\\');
    const std::wstring newName =
        AnsiToWide(separator == std::string::npos ? iccPathNew : iccPathNew.substr(separator + 1));
    Log(log_level::kTrace, "ColorField::IsIccAlreadyAssociated")
        << L"currentIccFileName:" << currentName << L"iccFileNew:" << newName;
    return !newName.empty() && currentName.find(newName) != std::wstring::npos;
}

std::wstring ColorField::ColorManagementDeviceName() const {
    return mainDisplayDeviceName_.empty() ? std::wstring(kWholeDisplay) : currentMonitor_.deviceId;
}

int ColorField::SwitchDisplayerColorField(std::uint32_t mode, std::uint32_t setType) {
    const std::lock_guard lock(mutex_);
    try {
        switch (setType) {
            case color_field::kDdcciRoad:
                Log(log_level::kTrace, "ColorField::SwitchDisplayerColorField")
                    << L"SetDisplayerColorFieldByDdcci. mode:" << Signed(mode);
                return SetDisplayerColorFieldByDdcci(mode);
            case color_field::kFirmwareLutRoad:
                Log(log_level::kTrace, "ColorField::SwitchDisplayerColorField")
                    << L"SetDisplayerLut3D. mode:" << Signed(mode);
                if (!LutHandle3D::Instance().SetDisplayerLut3D(mode)) {
                    Log(log_level::kError, "ColorField::SwitchDisplayerColorField")
                        << L"SetDisplayerLut3D Failed! mode:" << Signed(mode);
                    return color_field::kDisplayFailed;
                }
                return color_field::kSwitchDone;
            default:
                Log(log_level::kError, "ColorField::SwitchDisplayerColorField")
                    << L"PC Displayer ColorField Mode Not Support on this version.";
                return color_field::kDisplayFailed;
        }
    } catch (const std::exception& error) {
        Log(log_level::kError, "ColorField::SwitchDisplayerColorField")
            << L"SetDisplayerLut3D exception:" << error.what() << L", mode:" << Signed(mode);
        return color_field::kDisplayFailed;
    }
}
