#pragma once

#include <string>

#include "settings/config_ini.h"
#include "settings/i_color_eye_protect_config.h"

class ColorEyeProtectConfigIni : public IColorEyeProtectConfig, public ConfigIni {
  public:
    explicit ColorEyeProtectConfigIni(std::wstring path) : ConfigIni(std::move(path)) {}

    int GetIsEnableEyeProtect(int defaultValue) override;
    bool SetIsEnableEyeProtect(int value) override;
    int GetEyeProtect(int defaultValue) override;
    bool SetEyeProtect(int value) override;
    int GetIsEnableEyeProtectDefault(int defaultValue) override;
    int GetEyeProtectDefault(int defaultValue) override;
    int GetBlueProtect(int defaultValue) override;
    bool SetBlueProtect(int value) override;
    int GetBlueProtectSlider(int defaultValue) override;
    bool SetBlueProtectSlider(int value) override;
    int GetBlueProtectDefault(int defaultValue) override;
    int GetBlueProtectSliderDefault(int defaultValue) override;
};
