#include "settings/color_eye_protect_config_ini.h"

namespace {

const std::wstring kSectionEyeProtect = L"EYEPROTECT";
const std::wstring kSectionBlueProtect = L"BLUEPROTECT";

const std::wstring kKeyIsEnableEyeProtect = L"IsEnableEyeProtect";
const std::wstring kKeyEyeProtectValue = L"EyeProtectValue";
const std::wstring kKeyIsEnableEyeProtectDefault = L"IsEnableEyeProtectDefault";
const std::wstring kKeyEyeProtectDefaultValue = L"EyeProtectDefaultValue";
const std::wstring kKeyCurrentBlueProtect = L"CurrentBlueProtect";
const std::wstring kKeyCurrentBlueProtectSlider = L"CurrentBlueProtectSlider";
const std::wstring kKeyCurrentBlueProtectDefault = L"CurrentBlueProtectDefault";
const std::wstring kKeyCurrentBlueProtectSliderDefault = L"CurrentBlueProtectSliderDefault";

}  // namespace

int ColorEyeProtectConfigIni::GetIsEnableEyeProtect(int defaultValue) {
    return GetValue(kSectionEyeProtect, kKeyIsEnableEyeProtect, defaultValue);
}

bool ColorEyeProtectConfigIni::SetIsEnableEyeProtect(int value) {
    return SetValue(kSectionEyeProtect, kKeyIsEnableEyeProtect, value);
}

int ColorEyeProtectConfigIni::GetEyeProtect(int defaultValue) {
    return GetValue(kSectionEyeProtect, kKeyEyeProtectValue, defaultValue);
}

bool ColorEyeProtectConfigIni::SetEyeProtect(int value) {
    return SetValue(kSectionEyeProtect, kKeyEyeProtectValue, value);
}

int ColorEyeProtectConfigIni::GetIsEnableEyeProtectDefault(int defaultValue) {
    return GetValue(kSectionEyeProtect, kKeyIsEnableEyeProtectDefault, defaultValue);
}

int ColorEyeProtectConfigIni::GetEyeProtectDefault(int defaultValue) {
    return GetValue(kSectionEyeProtect, kKeyEyeProtectDefaultValue, defaultValue);
}

int ColorEyeProtectConfigIni::GetBlueProtect(int defaultValue) {
    return GetValue(kSectionBlueProtect, kKeyCurrentBlueProtect, defaultValue);
}

bool ColorEyeProtectConfigIni::SetBlueProtect(int value) {
    return SetValue(kSectionBlueProtect, kKeyCurrentBlueProtect, value);
}

int ColorEyeProtectConfigIni::GetBlueProtectSlider(int defaultValue) {
    return GetValue(kSectionBlueProtect, kKeyCurrentBlueProtectSlider, defaultValue);
}

bool ColorEyeProtectConfigIni::SetBlueProtectSlider(int value) {
    return SetValue(kSectionBlueProtect, kKeyCurrentBlueProtectSlider, value);
}

int ColorEyeProtectConfigIni::GetBlueProtectDefault(int defaultValue) {
    return GetValue(kSectionBlueProtect, kKeyCurrentBlueProtectDefault, defaultValue);
}

int ColorEyeProtectConfigIni::GetBlueProtectSliderDefault(int defaultValue) {
    return GetValue(kSectionBlueProtect, kKeyCurrentBlueProtectSliderDefault, defaultValue);
}
