#pragma once

#include <string>

#include "settings/config_ini.h"
#include "settings/i_color_color_field_config.h"

class ColorColorFieldConfigIni : public IColorColorFieldConfig, public ConfigIni {
  public:
    explicit ColorColorFieldConfigIni(std::wstring path) : ConfigIni(std::move(path)) {}

    int GetCurrentColorFieldMode(int defaultValue) override;
    bool SetGetCurrentColorFieldMode(int value) override;
    int GetIsColorFieldFirstDefaultAdjust(int defaultValue) override;
    bool SetIsColorFieldFirstDefaultAdjust(int value) override;
    int GetResetColorFieldMode(int defaultValue) override;
    bool SetResetColorFieldMode(int value) override;
    int GetColorFieldSetType(int defaultValue) override;
    bool SetColorFieldSetType(int value) override;
};
