#pragma once

#include <string>

#include "settings/config_ini.h"
#include "settings/i_color_white_point_config.h"

class ColorWhitePointConfigIni : public IColorWhitePointConfig, public ConfigIni {
  public:
    explicit ColorWhitePointConfigIni(std::wstring path) : ConfigIni(std::move(path)) {}

    int GetIsEnableWhitePoint(int defaultValue) override;
    bool SetIsEnableWhitePoint(int value) override;
    int GetIsFirstAdjust(int defaultValue) override;
    bool SetIsFirstAdjust(int value) override;
    bool SetWhitePointR(float value) override;
    float GetWhitePointR(float defaultValue) override;
    bool SetWhitePointG(float value) override;
    float GetWhitePointG(float defaultValue) override;
    bool SetWhitePointB(float value) override;
    float GetWhitePointB(float defaultValue) override;
};
