// Settings of one feature, one INI operation per method; the slot order is
// part of the interface.
#pragma once

class IColorColorFieldConfig {
  public:
    virtual ~IColorColorFieldConfig() = default;
    virtual int GetCurrentColorFieldMode(int defaultValue) = 0;
    virtual bool SetGetCurrentColorFieldMode(int value) = 0;
    virtual int GetIsColorFieldFirstDefaultAdjust(int defaultValue) = 0;
    virtual bool SetIsColorFieldFirstDefaultAdjust(int value) = 0;
    virtual int GetResetColorFieldMode(int defaultValue) = 0;
    virtual bool SetResetColorFieldMode(int value) = 0;
    virtual int GetColorFieldSetType(int defaultValue) = 0;
    virtual bool SetColorFieldSetType(int value) = 0;
};
