// Settings of one feature, one INI operation per method; the slot order is
// part of the interface.
#pragma once

class IColorDpInOutConfig {
  public:
    virtual ~IColorDpInOutConfig() = default;
    virtual int GetCurrentDpInOutMode(int defaultValue) = 0;
    virtual bool SetCurrentDpInOutMode(int value) = 0;
};
