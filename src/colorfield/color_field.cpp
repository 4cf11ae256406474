#include "colorfield/color_field.h"

#include "colorfield/lut_handle_3d.h"
#include "colorfield/sha256_interface.h"
#include "log/log_line.h"
#include "platform/files.h"
#include "util/text_conversion.h"

namespace {

constexpr int kErrorLevel = 3;
constexpr int kIccNormal = 0;
constexpr int kIccMissing = 1;
constexpr int kIccNotVerified = 2;
constexpr std::uint32_t kFirmwareLutRoad = 1;

// _access with mode 0; a missing file is logged by its path.
bool FileFound(const std::string& path) {
    const std::wstring widePath = AnsiToWide(path);
    if (platform::FileExists(widePath)) {
        return true;
    }
    Log(kErrorLevel, "ColorField::CheckIsIccFileNormal")
        << L"Icc File:" << widePath << L" Not Found!";
    return false;
}

}  // namespace

ColorField& ColorField::Instance() {
    static ColorField instance;
    return instance;
}

ColorField::~ColorField() = default;

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
    Log(kErrorLevel, "ColorField::CheckIsIccFileNormal")
        << L"Icc File Be Modified! fileName:" << AnsiToWide(iccPath);
    return kIccNotVerified;
}

bool ColorField::IsLcdChanged(std::uint32_t mode, std::uint32_t setType) {
    return setType == kFirmwareLutRoad && LutHandle3D::Instance().IsLcdChanged(mode);
}
