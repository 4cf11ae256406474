// Settings of one feature, one INI operation per method; the slot order is
// part of the interface.
#pragma once

class INatureColorConfig {
  public:
    virtual ~INatureColorConfig() = default;
    virtual int GetIsNatureColor(int defaultValue) = 0;
    virtual bool SetIsNatureColor(int value) = 0;
    virtual bool SetSensorColor(float value) = 0;
    virtual float GetSensorColor(float defaultValue) = 0;
    virtual bool SetSensorLight(float value) = 0;
    virtual float GetSensorLight(float defaultValue) = 0;
    virtual bool SetMonitorId(long value) = 0;
    virtual long GetMonitorId(long defaultValue) = 0;
    virtual bool SetSensorR(float value) = 0;
    virtual float GetSensorR(float defaultValue) = 0;
    virtual bool SetSensorG(float value) = 0;
    virtual float GetSensorG(float defaultValue) = 0;
    virtual bool SetSensorB(float value) = 0;
    virtual float GetSensorB(float defaultValue) = 0;
    virtual int GetIsInitAmbientCct(int defaultValue) = 0;
    virtual bool SetIsInitAmbientCct(int value) = 0;
};
