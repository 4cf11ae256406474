#include "colorfield/color_field.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>

#include "colorfield/color_field_codes.h"
#include "colorfield/full_path.h"
#include "colorfield/lut_handle_3d.h"
#include "colorfield/sha256_interface.h"
#include "colorstate/color_state_record.h"
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
bool FileFound(const std::wstring& path) {
    if (platform::FileExists(path)) {
        return true;
    }
    Log(log_level::kError, "ColorField::CheckIsIccFileNormal")
        << L"Icc File:" << path << L" Not Found!";
    return false;
}

// A path that does not resolve names no file any step could use.
std::optional<std::wstring> ResolvedPath(const std::string& path) {
    const std::wstring given = AnsiToWide(path);
    auto full = FullPath(given);
    if (!full) {
        Log(log_level::kError, "ColorField::CheckIsIccFileNormal")
            << L"Icc File:" << given
            << L" Not Found! It does not resolve to a full path shorter than 260 characters.";
    }
    return full;
}

// A full path's last component; Windows takes either slash as a separator.
std::wstring FileNameOf(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}

// Mode numbers are written as signed numbers.
std::int32_t Signed(std::uint32_t mode) {
    return static_cast<std::int32_t>(mode);
}

// Any other number would reach the display as some mode it never asked for:
// the DDC/CI road would send "off", the firmware would be searched for it.
bool IsKnownMode(std::uint32_t mode, const char* source) {
    if (mode <= color_field::kLastGamutMode) {
        return true;
    }
    Log(log_level::kError, source) << L"Color field mode out of range! mode:" << Signed(mode);
    return false;
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
    Abandon(iccProfile_);
    Abandon(standardProfile_);
    static_cast<void>(dc_.release());
}

int ColorField::CheckIsIccFileNormal(const std::string& iccPath, const std::string& digestPath) {
    const auto icc = ResolvedPath(iccPath);
    if (!icc) {
        return kIccMissing;
    }
    std::unique_ptr<platform::SharedFileReader> held;
    return CheckIccFile(*icc, digestPath, held);
}

// The profile stays open from its digest until `held` goes, refusing writes,
// deletes and renames: whoever replaces the file in between cannot make the
// switch install bytes that were never verified.
int ColorField::CheckIccFile(const std::wstring& icc, const std::string& digestPath,
                             std::unique_ptr<platform::SharedFileReader>& held) {
    if (!FileFound(icc)) {
        return kIccMissing;
    }
    const auto digest = ResolvedPath(digestPath);
    if (!digest || !FileFound(*digest)) {
        return kIccNotVerified;
    }
    held = std::make_unique<platform::SharedFileReader>(icc, platform::Sharing::ReadOnly);
    if (Sha256Interface::IsIccDigestMatch(*held, icc, *digest)) {
        return kIccNormal;
    }
    held.reset();
    Log(log_level::kError, "ColorField::CheckIsIccFileNormal")
        << L"Icc File Be Modified! fileName:" << icc;
    return kIccNotVerified;
}

// Mode 0 has no table whose panel could have changed.
bool ColorField::IsLcdChanged(std::uint32_t mode, std::uint32_t setType) {
    if (setType != color_field::kFirmwareLutRoad) {
        return false;
    }
    if (!IsKnownMode(mode, "ColorField::IsLcdChanged")) {
        return false;
    }
    if (mode == color_field::kModeOff) {
        Log(log_level::kError, "ColorField::IsLcdChanged")
            << L"Color field mode has no table! mode:" << Signed(mode);
        return false;
    }
    const std::lock_guard lock(mutex_);
    return LutHandle3D::Instance().IsLcdChanged(mode);
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
    if (!IsKnownMode(mode, "ColorField::SetColorFieldMode")) {
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
    const auto icc = ResolvedPath(iccPath);
    if (!icc) {
        return kIccMissing;
    }
    if (IsIccAlreadyAssociated(currentName, *icc)) {
        Log(log_level::kTrace, "ColorField::SetColorFieldMode")
            << L"Icc Already Associated. iccFileName:" << *icc;
        if (Signed(mode) !=
            ColorFieldSettings().GetCurrentColorFieldMode(color_field::kNoSetting)) {
            SwitchDisplayerColorField(mode, setType);
        }
        RecordSwitch(mode, setType, FileNameOf(currentName));
        return color_field::kSwitchDone;
    }
    if (const int switched = CheckAndSwitchIccFile(*icc, digestPath);
        switched != color_field::kSwitchDone) {
        return switched;
    }
    const int displayed = SwitchDisplayerColorField(mode, setType);
    if (displayed == color_field::kSwitchDone) {
        RecordSwitch(mode, setType, FileNameOf(*icc));
        return color_field::kSwitchDone;
    }
    Log(log_level::kError, "ColorField::SetColorFieldMode")
        << L"SetDisplayerColorField Fail! iccName:" << *icc;
    UndoIccSwitch(currentName, *icc);
    return displayed;
}

// What the monitor's default profile must now be, and the display side
// that restoring applies again (the profile stays with colour management).
void ColorField::RecordSwitch(std::uint32_t mode, std::uint32_t setType, std::wstring fileName) {
    auto& record = ColorStateRecord::Instance();
    record.RecordProfile({ColorManagementDeviceName(), std::move(fileName)});
    record.RecordChange(ChangeKind::Gamut,
                        [mode, setType] { return Instance().SwitchDisplayerColorField(mode, setType); });
}

int ColorField::CheckAndSwitchIccFile(const std::wstring& icc, const std::string& digestPath) {
    std::unique_ptr<platform::SharedFileReader> held;
    if (const int checked = CheckIccFile(icc, digestPath, held); checked != kIccNormal) {
        return checked;
    }
    const int switched = SwitchIccFile(icc);
    if (switched != color_field::kSwitchDone) {
        Log(log_level::kError, "ColorField::SetColorFieldMode")
            << L"SwitchIccFile Failed! iccFileName:" << icc;
    }
    return switched;
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

// Whole file names, compared as Windows compares them: "P3.icc" is not
// "DisplayP3.icc". An empty new name (a path ending in a backslash) names no
// profile and so is never associated.
bool ColorField::IsIccAlreadyAssociated(const std::wstring& currentName,
                                        const std::wstring& iccPathNew) {
    const std::wstring newName = FileNameOf(iccPathNew);
    Log(log_level::kTrace, "ColorField::IsIccAlreadyAssociated")
        << L"currentIccFileName:" << currentName << L"iccFileNew:" << newName;
    const std::wstring current = FileNameOf(currentName);
    return !newName.empty() &&
           CompareStringOrdinal(current.c_str(), static_cast<int>(current.size()), newName.c_str(),
                                static_cast<int>(newName.size()), TRUE) == CSTR_EQUAL;
}

std::wstring ColorField::ColorManagementDeviceName() const {
    return mainDisplayDeviceName_.empty() ? std::wstring(kWholeDisplay) : currentMonitor_.deviceId;
}

int ColorField::SwitchDisplayerColorField(std::uint32_t mode, std::uint32_t setType) {
    if (!IsKnownMode(mode, "ColorField::SwitchDisplayerColorField")) {
        return color_field::kDisplayFailed;
    }
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
