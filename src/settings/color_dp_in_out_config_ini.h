#pragma once

#include <string>

#include "settings/config_ini.h"
#include "settings/i_color_dp_in_out_config.h"

class ColorDpInOutConfigIni : public IColorDpInOutConfig, public ConfigIni {
  public:
    explicit ColorDpInOutConfigIni(std::wstring path) : ConfigIni(std::move(path)) {}

    int GetCurrentDpInOutMode(int defaultValue) override;
    bool SetCurrentDpInOutMode(int value) override;
};
