// Settings of one feature, one INI operation per method; the slot order is
// part of the interface.
#pragma once

class IColorTemperatureConfig {
  public:
    virtual ~IColorTemperatureConfig() = default;
    virtual int GetTemperatureConfig(int defaultValue) = 0;
    virtual bool SetTemperatureConfig(int value) = 0;
    virtual int GetTemperatureSliderConfig(int defaultValue) = 0;
    virtual bool SetTemperatureSliderConfig(int value) = 0;
    virtual int GetTemperatureDefaultConfig(int defaultValue) = 0;
    virtual int GetTemperatureSliderDefaultConfig(int defaultValue) = 0;
    virtual double GetCircleAngle(double defaultValue) = 0;
    virtual bool GetCircleStrAngle(char* buffer, int size) = 0;
    virtual bool SetCircleAngle(double value) = 0;
    virtual double GetCircleRadiusScale(double defaultValue) = 0;
    virtual bool GetCircleStrRadiusScale(char* buffer, int size) = 0;
    virtual bool SetCircleRadiusScale(double value) = 0;
    virtual double GetCircleR(double defaultValue) = 0;
    virtual bool GetCircleStrR(char* buffer, int size) = 0;
    virtual bool SetCircleR(double value) = 0;
    virtual double GetCircleG(double defaultValue) = 0;
    virtual bool GetCircleStrG(char* buffer, int size) = 0;
    virtual bool SetCircleG(double value) = 0;
    virtual double GetCircleB(double defaultValue) = 0;
    virtual bool GetCircleStrB(char* buffer, int size) = 0;
    virtual bool SetCircleB(double value) = 0;
    virtual int GetCircleIsDefault(int defaultValue) = 0;
    virtual bool SetCircleIsDefault(int value) = 0;
    virtual int GetCircleIsCold(int defaultValue) = 0;
    virtual bool SetCircleIsCold(int value) = 0;
    virtual int GetCircleIsWarm(int defaultValue) = 0;
    virtual bool SetCircleIsWarm(int value) = 0;
};
