#include "settings/color_color_field_config_ini.h"

namespace {

const std::wstring kSectionColorField = L"COLORFIELD";

const std::wstring kKeyCurrentColorFieldMode = L"CurrentColorFieldMode";
const std::wstring kKeyIsColorFiledFirstDefaultAdjust = L"IsColorFiledFirstDefaultAdjust";
const std::wstring kKeyResetColorFieldMode = L"ResetColorFieldMode";
const std::wstring kKeySetType = L"SetType";

}  // namespace

int ColorColorFieldConfigIni::GetCurrentColorFieldMode(int defaultValue) {
    return GetValue(kSectionColorField, kKeyCurrentColorFieldMode, defaultValue);
}

bool ColorColorFieldConfigIni::SetGetCurrentColorFieldMode(int value) {
    return SetValue(kSectionColorField, kKeyCurrentColorFieldMode, value);
}

int ColorColorFieldConfigIni::GetIsColorFieldFirstDefaultAdjust(int defaultValue) {
    return GetValue(kSectionColorField, kKeyIsColorFiledFirstDefaultAdjust, defaultValue);
}

bool ColorColorFieldConfigIni::SetIsColorFieldFirstDefaultAdjust(int value) {
    return SetValue(kSectionColorField, kKeyIsColorFiledFirstDefaultAdjust, value);
}

int ColorColorFieldConfigIni::GetResetColorFieldMode(int defaultValue) {
    return GetValue(kSectionColorField, kKeyResetColorFieldMode, defaultValue);
}

bool ColorColorFieldConfigIni::SetResetColorFieldMode(int value) {
    return SetValue(kSectionColorField, kKeyResetColorFieldMode, value);
}

int ColorColorFieldConfigIni::GetColorFieldSetType(int defaultValue) {
    return GetValue(kSectionColorField, kKeySetType, defaultValue);
}

bool ColorColorFieldConfigIni::SetColorFieldSetType(int value) {
    return SetValue(kSectionColorField, kKeySetType, value);
}
