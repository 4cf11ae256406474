#pragma once

#include <string>

#include "settings/config_ini.h"
#include "settings/i_nature_color_config.h"

class NatureColorConfigIni : public INatureColorConfig, public ConfigIni {
  public:
    explicit NatureColorConfigIni(std::wstring path) : ConfigIni(std::move(path)) {}

    int GetIsNatureColor(int defaultValue) override;
    bool SetIsNatureColor(int value) override;
    bool SetSensorColor(float value) override;
    float GetSensorColor(float defaultValue) override;
    bool SetSensorLight(float value) override;
    float GetSensorLight(float defaultValue) override;
    bool SetMonitorId(long value) override;
    long GetMonitorId(long defaultValue) override;
    bool SetSensorR(float value) override;
    float GetSensorR(float defaultValue) override;
    bool SetSensorG(float value) override;
    float GetSensorG(float defaultValue) override;
    bool SetSensorB(float value) override;
    float GetSensorB(float defaultValue) override;
    int GetIsInitAmbientCct(int defaultValue) override;
    bool SetIsInitAmbientCct(int value) override;
};
