#pragma once

#include <string>

#include "settings/config_ini.h"
#include "settings/i_color_temperature_config.h"

class ColorTemperatureConfigIni : public IColorTemperatureConfig, public ConfigIni {
  public:
    explicit ColorTemperatureConfigIni(std::wstring path) : ConfigIni(std::move(path)) {}

    int GetTemperatureConfig(int defaultValue) override;
    bool SetTemperatureConfig(int value) override;
    int GetTemperatureSliderConfig(int defaultValue) override;
    bool SetTemperatureSliderConfig(int value) override;
    int GetTemperatureDefaultConfig(int defaultValue) override;
    int GetTemperatureSliderDefaultConfig(int defaultValue) override;
    double GetCircleAngle(double defaultValue) override;
    bool GetCircleStrAngle(char* buffer, int size) override;
    bool SetCircleAngle(double value) override;
    double GetCircleRadiusScale(double defaultValue) override;
    bool GetCircleStrRadiusScale(char* buffer, int size) override;
    bool SetCircleRadiusScale(double value) override;
    double GetCircleR(double defaultValue) override;
    bool GetCircleStrR(char* buffer, int size) override;
    bool SetCircleR(double value) override;
    double GetCircleG(double defaultValue) override;
    bool GetCircleStrG(char* buffer, int size) override;
    bool SetCircleG(double value) override;
    double GetCircleB(double defaultValue) override;
    bool GetCircleStrB(char* buffer, int size) override;
    bool SetCircleB(double value) override;
    int GetCircleIsDefault(int defaultValue) override;
    bool SetCircleIsDefault(int value) override;
    int GetCircleIsCold(int defaultValue) override;
    bool SetCircleIsCold(int value) override;
    int GetCircleIsWarm(int defaultValue) override;
    bool SetCircleIsWarm(int value) override;
};
