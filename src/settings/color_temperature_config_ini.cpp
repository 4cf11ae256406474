#include "settings/color_temperature_config_ini.h"

namespace {

const std::wstring kSectionTemperature = L"TEMPERATURE";
const std::wstring kSectionCircle = L"CIRCLE";

const std::wstring kKeyCurrentTemperature = L"CurrentTemperature";
const std::wstring kKeyCurrentTemperatureSlider = L"CurrentTemperatureSlider";
const std::wstring kKeyCurrentTemperatureDefault = L"CurrentTemperatureDefault";
const std::wstring kKeyCurrentTemperatureSliderDefault = L"CurrentTemperatureSliderDefault";
const std::wstring kKeyAngle = L"Angle";
const std::wstring kKeyRadiusScale = L"RadiusScale";
const std::wstring kKeyR = L"R";
const std::wstring kKeyG = L"G";
const std::wstring kKeyB = L"B";
const std::wstring kKeyIsIntelDefault = L"IsIntelDefault";
const std::wstring kKeyIsIntelCold = L"IsIntelCold";
const std::wstring kKeyIsIntelWarm = L"IsIntelWarm";

}  // namespace

int ColorTemperatureConfigIni::GetTemperatureConfig(int defaultValue) {
    return GetValue(kSectionTemperature, kKeyCurrentTemperature, defaultValue);
}

bool ColorTemperatureConfigIni::SetTemperatureConfig(int value) {
    return SetValue(kSectionTemperature, kKeyCurrentTemperature, value);
}

int ColorTemperatureConfigIni::GetTemperatureSliderConfig(int defaultValue) {
    return GetValue(kSectionTemperature, kKeyCurrentTemperatureSlider, defaultValue);
}

bool ColorTemperatureConfigIni::SetTemperatureSliderConfig(int value) {
    return SetValue(kSectionTemperature, kKeyCurrentTemperatureSlider, value);
}

int ColorTemperatureConfigIni::GetTemperatureDefaultConfig(int defaultValue) {
    return GetValue(kSectionTemperature, kKeyCurrentTemperatureDefault, defaultValue);
}

int ColorTemperatureConfigIni::GetTemperatureSliderDefaultConfig(int defaultValue) {
    return GetValue(kSectionTemperature, kKeyCurrentTemperatureSliderDefault, defaultValue);
}

double ColorTemperatureConfigIni::GetCircleAngle(double defaultValue) {
    return GetValue(kSectionCircle, kKeyAngle, defaultValue);
}

bool ColorTemperatureConfigIni::GetCircleStrAngle(char* buffer, int size) {
    return GetValue(kSectionCircle, kKeyAngle, buffer, size);
}

bool ColorTemperatureConfigIni::SetCircleAngle(double value) {
    return SetValue(kSectionCircle, kKeyAngle, value);
}

double ColorTemperatureConfigIni::GetCircleRadiusScale(double defaultValue) {
    return GetValue(kSectionCircle, kKeyRadiusScale, defaultValue);
}

bool ColorTemperatureConfigIni::GetCircleStrRadiusScale(char* buffer, int size) {
    return GetValue(kSectionCircle, kKeyRadiusScale, buffer, size);
}

bool ColorTemperatureConfigIni::SetCircleRadiusScale(double value) {
    return SetValue(kSectionCircle, kKeyRadiusScale, value);
}

double ColorTemperatureConfigIni::GetCircleR(double defaultValue) {
    return GetDoubleValue(kSectionCircle, kKeyR, defaultValue);
}

bool ColorTemperatureConfigIni::GetCircleStrR(char* buffer, int size) {
    return GetValue(kSectionCircle, kKeyR, buffer, size);
}

bool ColorTemperatureConfigIni::SetCircleR(double value) {
    return SetValue(kSectionCircle, kKeyR, value);
}

double ColorTemperatureConfigIni::GetCircleG(double defaultValue) {
    return GetDoubleValue(kSectionCircle, kKeyG, defaultValue);
}

bool ColorTemperatureConfigIni::GetCircleStrG(char* buffer, int size) {
    return GetValue(kSectionCircle, kKeyG, buffer, size);
}

bool ColorTemperatureConfigIni::SetCircleG(double value) {
    return SetValue(kSectionCircle, kKeyG, value);
}

double ColorTemperatureConfigIni::GetCircleB(double defaultValue) {
    return GetDoubleValue(kSectionCircle, kKeyB, defaultValue);
}

bool ColorTemperatureConfigIni::GetCircleStrB(char* buffer, int size) {
    return GetValue(kSectionCircle, kKeyB, buffer, size);
}

bool ColorTemperatureConfigIni::SetCircleB(double value) {
    return SetValue(kSectionCircle, kKeyB, value);
}

int ColorTemperatureConfigIni::GetCircleIsDefault(int defaultValue) {
    return GetValue(kSectionCircle, kKeyIsIntelDefault, defaultValue);
}

bool ColorTemperatureConfigIni::SetCircleIsDefault(int value) {
    return SetValue(kSectionCircle, kKeyIsIntelDefault, value);
}

int ColorTemperatureConfigIni::GetCircleIsCold(int defaultValue) {
    return GetValue(kSectionCircle, kKeyIsIntelCold, defaultValue);
}

bool ColorTemperatureConfigIni::SetCircleIsCold(int value) {
    return SetValue(kSectionCircle, kKeyIsIntelCold, value);
}

int ColorTemperatureConfigIni::GetCircleIsWarm(int defaultValue) {
    return GetValue(kSectionCircle, kKeyIsIntelWarm, defaultValue);
}

bool ColorTemperatureConfigIni::SetCircleIsWarm(int value) {
    return SetValue(kSectionCircle, kKeyIsIntelWarm, value);
}
