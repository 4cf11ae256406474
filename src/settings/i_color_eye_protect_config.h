// Settings of one feature, one INI operation per method; the slot order is
// part of the interface.
#pragma once

class IColorEyeProtectConfig {
  public:
    virtual ~IColorEyeProtectConfig() = default;
    virtual int GetIsEnableEyeProtect(int defaultValue) = 0;
    virtual bool SetIsEnableEyeProtect(int value) = 0;
    virtual int GetEyeProtect(int defaultValue) = 0;
    virtual bool SetEyeProtect(int value) = 0;
    virtual int GetIsEnableEyeProtectDefault(int defaultValue) = 0;
    virtual int GetEyeProtectDefault(int defaultValue) = 0;
    virtual int GetBlueProtect(int defaultValue) = 0;
    virtual bool SetBlueProtect(int value) = 0;
    virtual int GetBlueProtectSlider(int defaultValue) = 0;
    virtual bool SetBlueProtectSlider(int value) = 0;
    virtual int GetBlueProtectDefault(int defaultValue) = 0;
    virtual int GetBlueProtectSliderDefault(int defaultValue) = 0;
};
