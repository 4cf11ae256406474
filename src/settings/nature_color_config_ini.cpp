#include "settings/nature_color_config_ini.h"

namespace {

const std::wstring kSectionNatureColor = L"NATURECOLOR";

const std::wstring kKeyIsNatureColor = L"IsNatureColor";
const std::wstring kKeySensorColor = L"SensorColor";
const std::wstring kKeySensorLight = L"SensorLight";
const std::wstring kKeyMonitorId = L"MonitorId";
const std::wstring kKeySensorR = L"SensorR";
const std::wstring kKeySensorG = L"SensorG";
const std::wstring kKeySensorB = L"SensorB";
const std::wstring kKeyIsInitAmbientCct = L"IsInitAmbientCct";

}  // namespace

int NatureColorConfigIni::GetIsNatureColor(int defaultValue) {
    return GetValue(kSectionNatureColor, kKeyIsNatureColor, defaultValue);
}

bool NatureColorConfigIni::SetIsNatureColor(int value) {
    return SetValue(kSectionNatureColor, kKeyIsNatureColor, value);
}

bool NatureColorConfigIni::SetSensorColor(float value) {
    return SetValue(kSectionNatureColor, kKeySensorColor, value);
}

float NatureColorConfigIni::GetSensorColor(float defaultValue) {
    return GetValue(kSectionNatureColor, kKeySensorColor, defaultValue);
}

bool NatureColorConfigIni::SetSensorLight(float value) {
    return SetValue(kSectionNatureColor, kKeySensorLight, value);
}

float NatureColorConfigIni::GetSensorLight(float defaultValue) {
    return GetValue(kSectionNatureColor, kKeySensorLight, defaultValue);
}

bool NatureColorConfigIni::SetMonitorId(long value) {
    return SetValue(kSectionNatureColor, kKeyMonitorId, value);
}

long NatureColorConfigIni::GetMonitorId(long defaultValue) {
    return GetValue(kSectionNatureColor, kKeyMonitorId, defaultValue);
}

bool NatureColorConfigIni::SetSensorR(float value) {
    return SetValue(kSectionNatureColor, kKeySensorR, value);
}

float NatureColorConfigIni::GetSensorR(float defaultValue) {
    return GetValue(kSectionNatureColor, kKeySensorR, defaultValue);
}

bool NatureColorConfigIni::SetSensorG(float value) {
    return SetValue(kSectionNatureColor, kKeySensorG, value);
}

float NatureColorConfigIni::GetSensorG(float defaultValue) {
    return GetValue(kSectionNatureColor, kKeySensorG, defaultValue);
}

bool NatureColorConfigIni::SetSensorB(float value) {
    return SetValue(kSectionNatureColor, kKeySensorB, value);
}

float NatureColorConfigIni::GetSensorB(float defaultValue) {
    return GetValue(kSectionNatureColor, kKeySensorB, defaultValue);
}

int NatureColorConfigIni::GetIsInitAmbientCct(int defaultValue) {
    return GetValue(kSectionNatureColor, kKeyIsInitAmbientCct, defaultValue);
}

bool NatureColorConfigIni::SetIsInitAmbientCct(int value) {
    return SetValue(kSectionNatureColor, kKeyIsInitAmbientCct, value);
}
