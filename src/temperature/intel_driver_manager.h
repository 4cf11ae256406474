// The process-wide owner of a driver holder of its own, beside OperateColor's;
// a failed OLE initialisation does not stop it from creating the driver object.
#pragma once

#include <cstdint>
#include <string>

#include "temperature/intel_driver_interface.h"

class IntelDriverManager {
  public:
    // Created on first use, destroyed at library unload.
    static IntelDriverManager& Instance();

    virtual ~IntelDriverManager();
    IntelDriverManager(const IntelDriverManager&) = delete;
    IntelDriverManager& operator=(const IntelDriverManager&) = delete;

    IntelDriverInterface& Driver() { return driver_; }

    // The adapter attached to the desktop and primary, or empty.
    std::wstring GetMainActiveDeviceName();
    // The driver's id of adapter 0, the adapter colour tables go to; 0 when
    // there is none or the driver does not know it. A failed driver call is
    // raised as a ComError.
    std::int32_t GetIntelDeviceId();

  private:
    IntelDriverManager();

    IntelDriverInterface driver_;
};
