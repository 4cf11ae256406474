#include "temperature/current_blue_protect.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "settings/config_ini.h"

namespace {

constexpr double kThousandths = 1000.0;

// ratio x 1000 with halves away from zero, kept inside the 32-bit range
// that "%d" can show.
int BlueProtectThousandths(double ratio) {
    const double scaled = std::round(ratio * kThousandths);
    if (std::isnan(scaled)) {
        return 0;
    }
    constexpr double kMax = std::numeric_limits<int>::max();
    constexpr double kMin = std::numeric_limits<int>::min();
    return static_cast<int>(std::clamp(scaled, kMin, kMax));
}

}  // namespace

void WriteCurrentBlueProtect(double ratio) {
    const std::wstring value = std::to_wstring(BlueProtectThousandths(ratio));
    WritePrivateProfileStringW(L"BLUEPROTECT", L"CurrentBlueProtect", value.c_str(),
                               kIniFilePath.c_str());
}
