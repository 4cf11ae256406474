#include "settings/color_white_point_config_ini.h"

namespace {

const std::wstring kSectionWhitePoint = L"WHITEPOINT";

const std::wstring kKeyIsEnableWhitePointAdjust = L"IsEnableWhitePointAdjust";
const std::wstring kKeyIsFirstDefaultAdjust = L"IsFirstDefaultAdjust";
const std::wstring kKeyWhitePointR = L"WhitePointR";
const std::wstring kKeyWhitePointG = L"WhitePointG";
const std::wstring kKeyWhitePointB = L"WhitePointB";

}  // namespace

int ColorWhitePointConfigIni::GetIsEnableWhitePoint(int defaultValue) {
    return GetValue(kSectionWhitePoint, kKeyIsEnableWhitePointAdjust, defaultValue);
}

bool ColorWhitePointConfigIni::SetIsEnableWhitePoint(int value) {
    return SetValue(kSectionWhitePoint, kKeyIsEnableWhitePointAdjust, value);
}

int ColorWhitePointConfigIni::GetIsFirstAdjust(int defaultValue) {
    return GetValue(kSectionWhitePoint, kKeyIsFirstDefaultAdjust, defaultValue);
}

bool ColorWhitePointConfigIni::SetIsFirstAdjust(int value) {
    return SetValue(kSectionWhitePoint, kKeyIsFirstDefaultAdjust, value);
}

bool ColorWhitePointConfigIni::SetWhitePointR(float value) {
    return SetValue(kSectionWhitePoint, kKeyWhitePointR, value);
}

float ColorWhitePointConfigIni::GetWhitePointR(float defaultValue) {
    return GetValue(kSectionWhitePoint, kKeyWhitePointR, defaultValue);
}

bool ColorWhitePointConfigIni::SetWhitePointG(float value) {
    return SetValue(kSectionWhitePoint, kKeyWhitePointG, value);
}

float ColorWhitePointConfigIni::GetWhitePointG(float defaultValue) {
    return GetValue(kSectionWhitePoint, kKeyWhitePointG, defaultValue);
}

bool ColorWhitePointConfigIni::SetWhitePointB(float value) {
    return SetValue(kSectionWhitePoint, kKeyWhitePointB, value);
}

float ColorWhitePointConfigIni::GetWhitePointB(float defaultValue) {
    return GetValue(kSectionWhitePoint, kKeyWhitePointB, defaultValue);
}
