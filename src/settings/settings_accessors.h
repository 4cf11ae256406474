// The process-wide settings objects. The first call constructs each with the
// INI path it is given; later calls return the same object and ignore it.
#pragma once

#include <string>

#include "settings/config_ini.h"
#include "settings/i_color_temperature_config.h"
#include "settings/i_color_eye_protect_config.h"
#include "settings/i_color_white_point_config.h"
#include "settings/i_color_dp_in_out_config.h"
#include "settings/i_color_color_field_config.h"
#include "settings/i_nature_color_config.h"

IColorTemperatureConfig& TemperatureSettings(const std::wstring& iniPath = kIniFilePath);
IColorEyeProtectConfig& EyeProtectSettings(const std::wstring& iniPath = kIniFilePath);
IColorWhitePointConfig& WhitePointSettings(const std::wstring& iniPath = kIniFilePath);
IColorDpInOutConfig& DpInOutSettings(const std::wstring& iniPath = kIniFilePath);
IColorColorFieldConfig& ColorFieldSettings(const std::wstring& iniPath = kIniFilePath);
INatureColorConfig& NatureColorSettings(const std::wstring& iniPath = kIniFilePath);
