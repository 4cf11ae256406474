#include "settings/color_dp_in_out_config_ini.h"

namespace {

const std::wstring kSectionDpInOut = L"DPINOUT";

const std::wstring kKeyCurrentMode = L"CurrentMode";

}  // namespace

int ColorDpInOutConfigIni::GetCurrentDpInOutMode(int defaultValue) {
    return GetValue(kSectionDpInOut, kKeyCurrentMode, defaultValue);
}

bool ColorDpInOutConfigIni::SetCurrentDpInOutMode(int value) {
    return SetValue(kSectionDpInOut, kKeyCurrentMode, value);
}
