#include "settings/settings_accessors.h"

#include "settings/color_temperature_config_ini.h"
#include "settings/color_eye_protect_config_ini.h"
#include "settings/color_white_point_config_ini.h"
#include "settings/color_dp_in_out_config_ini.h"
#include "settings/color_color_field_config_ini.h"
#include "settings/nature_color_config_ini.h"

IColorTemperatureConfig& TemperatureSettings(const std::wstring& iniPath) {
    static ColorTemperatureConfigIni settings(iniPath);
    return settings;
}

IColorEyeProtectConfig& EyeProtectSettings(const std::wstring& iniPath) {
    static ColorEyeProtectConfigIni settings(iniPath);
    return settings;
}

IColorWhitePointConfig& WhitePointSettings(const std::wstring& iniPath) {
    static ColorWhitePointConfigIni settings(iniPath);
    return settings;
}

IColorDpInOutConfig& DpInOutSettings(const std::wstring& iniPath) {
    static ColorDpInOutConfigIni settings(iniPath);
    return settings;
}

IColorColorFieldConfig& ColorFieldSettings(const std::wstring& iniPath) {
    static ColorColorFieldConfigIni settings(iniPath);
    return settings;
}

INatureColorConfig& NatureColorSettings(const std::wstring& iniPath) {
    static NatureColorConfigIni settings(iniPath);
    return settings;
}
