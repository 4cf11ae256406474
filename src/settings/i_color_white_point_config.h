// Settings of one feature, one INI operation per method; the slot order is
// part of the interface.
#pragma once

class IColorWhitePointConfig {
  public:
    virtual ~IColorWhitePointConfig() = default;
    virtual int GetIsEnableWhitePoint(int defaultValue) = 0;
    virtual bool SetIsEnableWhitePoint(int value) = 0;
    virtual int GetIsFirstAdjust(int defaultValue) = 0;
    virtual bool SetIsFirstAdjust(int value) = 0;
    virtual bool SetWhitePointR(float value) = 0;
    virtual float GetWhitePointR(float defaultValue) = 0;
    virtual bool SetWhitePointG(float value) = 0;
    virtual float GetWhitePointG(float defaultValue) = 0;
    virtual bool SetWhitePointB(float value) = 0;
    virtual float GetWhitePointB(float defaultValue) = 0;
};
