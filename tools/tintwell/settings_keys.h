// Every key the library keeps in its INI file, with the exports that read and
// write it. The alternative held by `access` is the key's value type, so a
// getter can never be paired with a setter of another type.
#pragma once

#include <array>
#include <string_view>
#include <variant>

#include "tintwell/tintwell.h"

namespace tintwell_cli {

template <typename T>
struct Accessors {
    T (*get)(T defaultValue);
    // Null when the library exports no setter: the key is read-only from outside.
    int (*set)(T value) = nullptr;
};

using IntKey = Accessors<int>;
using DoubleKey = Accessors<double>;
using FloatKey = Accessors<float>;

struct SettingKey {
    std::string_view section;
    std::string_view key;
    std::variant<IntKey, DoubleKey, FloatKey> access;
};

// In the order of the library's settings classes, so that `list` is stable.
inline constexpr std::array kSettingKeys = {
    SettingKey{"TEMPERATURE", "CurrentTemperature",
               IntKey{GetTemperatureConfig, SetTemperatureConfig}},
    SettingKey{"TEMPERATURE", "CurrentTemperatureSlider",
               IntKey{GetTemperatureSliderConfig, SetTemperatureSliderConfig}},
    SettingKey{"TEMPERATURE", "CurrentTemperatureDefault", IntKey{GetTemperatureDefaultConfig}},
    SettingKey{"TEMPERATURE", "CurrentTemperatureSliderDefault",
               IntKey{GetTemperatureSliderDefaultConfig}},
    SettingKey{"CIRCLE", "Angle", DoubleKey{GetCircleAngle, SetCircleAngle}},
    SettingKey{"CIRCLE", "RadiusScale", DoubleKey{GetCircleRadiusScale, SetCircleRadiusScale}},
    SettingKey{"CIRCLE", "R", DoubleKey{GetCircleR, SetCircleR}},
    SettingKey{"CIRCLE", "G", DoubleKey{GetCircleG, SetCircleG}},
    SettingKey{"CIRCLE", "B", DoubleKey{GetCircleB, SetCircleB}},
    SettingKey{"CIRCLE", "IsIntelDefault", IntKey{GetCircleIsDefault, SetCircleIsDefault}},
    SettingKey{"CIRCLE", "IsIntelCold", IntKey{GetCircleIsCold, SetCircleIsCold}},
    SettingKey{"CIRCLE", "IsIntelWarm", IntKey{GetCircleIsWarm, SetCircleIsWarm}},
    SettingKey{"EYEPROTECT", "IsEnableEyeProtect",
               IntKey{GetIsEnableEyeProtect, SetIsEnableEyeProtect}},
    SettingKey{"EYEPROTECT", "EyeProtectValue", IntKey{GetEyeProtect, SetEyeProtect}},
    SettingKey{"EYEPROTECT", "IsEnableEyeProtectDefault", IntKey{GetIsEnableEyeProtectDefault}},
    SettingKey{"EYEPROTECT", "EyeProtectDefaultValue", IntKey{GetEyeProtectDefault}},
    SettingKey{"BLUEPROTECT", "CurrentBlueProtect", IntKey{GetBlueProtect, SetBlueProtect}},
    SettingKey{"BLUEPROTECT", "CurrentBlueProtectSlider",
               IntKey{GetBlueProtectSlider, SetBlueProtectSlider}},
    SettingKey{"BLUEPROTECT", "CurrentBlueProtectDefault", IntKey{GetBlueProtectDefault}},
    SettingKey{"BLUEPROTECT", "CurrentBlueProtectSliderDefault",
               IntKey{GetBlueProtectSliderDefault}},
    SettingKey{"WHITEPOINT", "IsEnableWhitePointAdjust",
               IntKey{GetIsEnableWhitePoint, SetIsEnableWhitePoint}},
    SettingKey{"WHITEPOINT", "IsFirstDefaultAdjust", IntKey{GetIsFirstAdjust, SetIsFirstAdjust}},
    SettingKey{"WHITEPOINT", "WhitePointR", FloatKey{GetWhitePointR, SetWhitePointR}},
    SettingKey{"WHITEPOINT", "WhitePointG", FloatKey{GetWhitePointG, SetWhitePointG}},
    SettingKey{"WHITEPOINT", "WhitePointB", FloatKey{GetWhitePointB, SetWhitePointB}},
    SettingKey{"DPINOUT", "CurrentMode", IntKey{GetCurrentDpInOutMode, SetCurrentDpInOutMode}},
    SettingKey{"COLORFIELD", "CurrentColorFieldMode",
               IntKey{GetCurrentColorFieldMode, SetGetCurrentColorFieldMode}},
    SettingKey{"COLORFIELD", "IsColorFiledFirstDefaultAdjust",
               IntKey{GetIsColorFieldFirstDefaultAdjust, SetIsColorFieldFirstDefaultAdjust}},
    SettingKey{"COLORFIELD", "ResetColorFieldMode",
               IntKey{GetResetColorFieldMode, SetResetColorFieldMode}},
    SettingKey{"COLORFIELD", "SetType", IntKey{GetColorFieldSetType, SetColorFieldSetType}},
    SettingKey{"NATURECOLOR", "IsNatureColor", IntKey{GetIsNatureColor, SetIsNatureColor}},
    SettingKey{"NATURECOLOR", "SensorColor", FloatKey{GetSensorColor, SetSensorColor}},
    SettingKey{"NATURECOLOR", "SensorLight", FloatKey{GetSensorLight, SetSensorLight}},
    SettingKey{"NATURECOLOR", "MonitorId", IntKey{GetMonitorId, SetMonitorId}},
    SettingKey{"NATURECOLOR", "SensorR", FloatKey{GetSensorR, SetSensorR}},
    SettingKey{"NATURECOLOR", "SensorG", FloatKey{GetSensorG, SetSensorG}},
    SettingKey{"NATURECOLOR", "SensorB", FloatKey{GetSensorB, SetSensorB}},
    SettingKey{"NATURECOLOR", "IsInitAmbientCct", IntKey{GetIsInitAmbientCct, SetIsInitAmbientCct}},
};

}  // namespace tintwell_cli
