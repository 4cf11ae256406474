// The settings exports: each reaches one operation of a settings object.
#include "naturecolor/frame_pause.h"
#include "settings/settings_accessors.h"
#include "tintwell/tintwell.h"

namespace {

int ToResult(bool succeeded) {
    return succeeded ? 0 : -1;
}

}  // namespace

int GetTemperatureConfig(int defaultValue) {
    return TemperatureSettings().GetTemperatureConfig(defaultValue);
}

int SetTemperatureConfig(int value) {
    return ToResult(TemperatureSettings().SetTemperatureConfig(value));
}

int GetTemperatureSliderConfig(int defaultValue) {
    return TemperatureSettings().GetTemperatureSliderConfig(defaultValue);
}

int SetTemperatureSliderConfig(int value) {
    return ToResult(TemperatureSettings().SetTemperatureSliderConfig(value));
}

int GetTemperatureDefaultConfig(int defaultValue) {
    return TemperatureSettings().GetTemperatureDefaultConfig(defaultValue);
}

int GetTemperatureSliderDefaultConfig(int defaultValue) {
    return TemperatureSettings().GetTemperatureSliderDefaultConfig(defaultValue);
}

double GetCircleAngle(double defaultValue) {
    return TemperatureSettings().GetCircleAngle(defaultValue);
}

int GetCircleStrAngle(char* buffer, int size) {
    if (buffer == nullptr) {
        return -1;
    }
    return ToResult(TemperatureSettings().GetCircleStrAngle(buffer, size));
}

int SetCircleAngle(double value) {
    return ToResult(TemperatureSettings().SetCircleAngle(value));
}

double GetCircleRadiusScale(double defaultValue) {
    return TemperatureSettings().GetCircleRadiusScale(defaultValue);
}

int GetCircleStrRadiusScale(char* buffer, int size) {
    if (buffer == nullptr) {
        return -1;
    }
    return ToResult(TemperatureSettings().GetCircleStrRadiusScale(buffer, size));
}

int SetCircleRadiusScale(double value) {
    return ToResult(TemperatureSettings().SetCircleRadiusScale(value));
}

double GetCircleR(double defaultValue) {
    return TemperatureSettings().GetCircleR(defaultValue);
}

int GetCircleStrR(char* buffer, int size) {
    if (buffer == nullptr) {
        return -1;
    }
    return ToResult(TemperatureSettings().GetCircleStrR(buffer, size));
}

int SetCircleR(double value) {
    return ToResult(TemperatureSettings().SetCircleR(value));
}

double GetCircleG(double defaultValue) {
    return TemperatureSettings().GetCircleG(defaultValue);
}

int GetCircleStrG(char* buffer, int size) {
    if (buffer == nullptr) {
        return -1;
    }
    return ToResult(TemperatureSettings().GetCircleStrG(buffer, size));
}

int SetCircleG(double value) {
    return ToResult(TemperatureSettings().SetCircleG(value));
}

double GetCircleB(double defaultValue) {
    return TemperatureSettings().GetCircleB(defaultValue);
}

int GetCircleStrB(char* buffer, int size) {
    if (buffer == nullptr) {
        return -1;
    }
    return ToResult(TemperatureSettings().GetCircleStrB(buffer, size));
}

int SetCircleB(double value) {
    return ToResult(TemperatureSettings().SetCircleB(value));
}

int GetCircleIsDefault(int defaultValue) {
    return TemperatureSettings().GetCircleIsDefault(defaultValue);
}

int SetCircleIsDefault(int value) {
    return ToResult(TemperatureSettings().SetCircleIsDefault(value));
}

int GetCircleIsCold(int defaultValue) {
    return TemperatureSettings().GetCircleIsCold(defaultValue);
}

int SetCircleIsCold(int value) {
    return ToResult(TemperatureSettings().SetCircleIsCold(value));
}

int GetCircleIsWarm(int defaultValue) {
    return TemperatureSettings().GetCircleIsWarm(defaultValue);
}

int SetCircleIsWarm(int value) {
    return ToResult(TemperatureSettings().SetCircleIsWarm(value));
}

int GetIsEnableEyeProtect(int defaultValue) {
    return EyeProtectSettings().GetIsEnableEyeProtect(defaultValue);
}

int SetIsEnableEyeProtect(int value) {
    return ToResult(EyeProtectSettings().SetIsEnableEyeProtect(value));
}

int GetEyeProtect(int defaultValue) {
    return EyeProtectSettings().GetEyeProtect(defaultValue);
}

int SetEyeProtect(int value) {
    return ToResult(EyeProtectSettings().SetEyeProtect(value));
}

int GetIsEnableEyeProtectDefault(int defaultValue) {
    return EyeProtectSettings().GetIsEnableEyeProtectDefault(defaultValue);
}

int GetEyeProtectDefault(int defaultValue) {
    return EyeProtectSettings().GetEyeProtectDefault(defaultValue);
}

int GetBlueProtect(int defaultValue) {
    return EyeProtectSettings().GetBlueProtect(defaultValue);
}

int SetBlueProtect(int value) {
    return ToResult(EyeProtectSettings().SetBlueProtect(value));
}

int GetBlueProtectSlider(int defaultValue) {
    return EyeProtectSettings().GetBlueProtectSlider(defaultValue);
}

int SetBlueProtectSlider(int value) {
    return ToResult(EyeProtectSettings().SetBlueProtectSlider(value));
}

int GetBlueProtectDefault(int defaultValue) {
    return EyeProtectSettings().GetBlueProtectDefault(defaultValue);
}

int GetBlueProtectSliderDefault(int defaultValue) {
    return EyeProtectSettings().GetBlueProtectSliderDefault(defaultValue);
}

int GetIsEnableWhitePoint(int defaultValue) {
    return WhitePointSettings().GetIsEnableWhitePoint(defaultValue);
}

int SetIsEnableWhitePoint(int value) {
    return ToResult(WhitePointSettings().SetIsEnableWhitePoint(value));
}

int GetIsFirstAdjust(int defaultValue) {
    return WhitePointSettings().GetIsFirstAdjust(defaultValue);
}

int SetIsFirstAdjust(int value) {
    return ToResult(WhitePointSettings().SetIsFirstAdjust(value));
}

int SetWhitePointR(float value) {
    return ToResult(WhitePointSettings().SetWhitePointR(value));
}

float GetWhitePointR(float defaultValue) {
    return WhitePointSettings().GetWhitePointR(defaultValue);
}

int SetWhitePointG(float value) {
    return ToResult(WhitePointSettings().SetWhitePointG(value));
}

float GetWhitePointG(float defaultValue) {
    return WhitePointSettings().GetWhitePointG(defaultValue);
}

int SetWhitePointB(float value) {
    return ToResult(WhitePointSettings().SetWhitePointB(value));
}

float GetWhitePointB(float defaultValue) {
    return WhitePointSettings().GetWhitePointB(defaultValue);
}

int GetCurrentDpInOutMode(int defaultValue) {
    return DpInOutSettings().GetCurrentDpInOutMode(defaultValue);
}

int SetCurrentDpInOutMode(int value) {
    return ToResult(DpInOutSettings().SetCurrentDpInOutMode(value));
}

int GetCurrentColorFieldMode(int defaultValue) {
    return ColorFieldSettings().GetCurrentColorFieldMode(defaultValue);
}

int SetGetCurrentColorFieldMode(int value) {
    return ToResult(ColorFieldSettings().SetGetCurrentColorFieldMode(value));
}

int GetIsColorFieldFirstDefaultAdjust(int defaultValue) {
    return ColorFieldSettings().GetIsColorFieldFirstDefaultAdjust(defaultValue);
}

int SetIsColorFieldFirstDefaultAdjust(int value) {
    return ToResult(ColorFieldSettings().SetIsColorFieldFirstDefaultAdjust(value));
}

int GetResetColorFieldMode(int defaultValue) {
    return ColorFieldSettings().GetResetColorFieldMode(defaultValue);
}

int SetResetColorFieldMode(int value) {
    return ToResult(ColorFieldSettings().SetResetColorFieldMode(value));
}

int GetColorFieldSetType(int defaultValue) {
    return ColorFieldSettings().GetColorFieldSetType(defaultValue);
}

int SetColorFieldSetType(int value) {
    return ToResult(ColorFieldSettings().SetColorFieldSetType(value));
}

int GetIsNatureColor(int defaultValue) {
    return NatureColorSettings().GetIsNatureColor(defaultValue);
}

// Switched off, nature colour ends the transition at its next frame: the
// dimming worker's pause ends for it rather than running its course.
int SetIsNatureColor(int value) {
    const bool stored = NatureColorSettings().SetIsNatureColor(value);
    if (stored && value == 0) {
        FramePause::Instance().EndNow();
    }
    return ToResult(stored);
}

int SetSensorColor(float value) {
    return ToResult(NatureColorSettings().SetSensorColor(value));
}

float GetSensorColor(float defaultValue) {
    return NatureColorSettings().GetSensorColor(defaultValue);
}

int SetSensorLight(float value) {
    return ToResult(NatureColorSettings().SetSensorLight(value));
}

float GetSensorLight(float defaultValue) {
    return NatureColorSettings().GetSensorLight(defaultValue);
}

int SetMonitorId(int value) {
    return ToResult(NatureColorSettings().SetMonitorId(value));
}

int GetMonitorId(int defaultValue) {
    return static_cast<int>(NatureColorSettings().GetMonitorId(defaultValue));
}

int SetSensorR(float value) {
    return ToResult(NatureColorSettings().SetSensorR(value));
}

float GetSensorR(float defaultValue) {
    return NatureColorSettings().GetSensorR(defaultValue);
}

int SetSensorG(float value) {
    return ToResult(NatureColorSettings().SetSensorG(value));
}

float GetSensorG(float defaultValue) {
    return NatureColorSettings().GetSensorG(defaultValue);
}

int SetSensorB(float value) {
    return ToResult(NatureColorSettings().SetSensorB(value));
}

float GetSensorB(float defaultValue) {
    return NatureColorSettings().GetSensorB(defaultValue);
}

int GetIsInitAmbientCct(int defaultValue) {
    return NatureColorSettings().GetIsInitAmbientCct(defaultValue);
}

int SetIsInitAmbientCct(int value) {
    return ToResult(NatureColorSettings().SetIsInitAmbientCct(value));
}
