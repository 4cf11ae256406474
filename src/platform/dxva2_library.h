// The system's monitor configuration library (dxva2), loaded from the system
// directory rather than found through the search order, which starts in the
// application's folder. Held for the length of one operation: a desktop road
// pass or a DDC/CI gamut switch.
#pragma once

#include <windows.h>

#include <highlevelmonitorconfigurationapi.h>
#include <lowlevelmonitorconfigurationapi.h>
#include <physicalmonitorenumerationapi.h>

#include "platform/system_module.h"

// Named as dxva2 exports them: every one is resolved and required.
struct Dxva2EntryPoints {
    decltype(&::GetNumberOfPhysicalMonitorsFromHMONITOR) GetNumberOfPhysicalMonitorsFromHMONITOR =
        nullptr;
    decltype(&::GetPhysicalMonitorsFromHMONITOR) GetPhysicalMonitorsFromHMONITOR = nullptr;
    decltype(&::DestroyPhysicalMonitors) DestroyPhysicalMonitors = nullptr;
    decltype(&::SetMonitorRedGreenOrBlueGain) SetMonitorRedGreenOrBlueGain = nullptr;
    decltype(&::GetMonitorRedGreenOrBlueGain) GetMonitorRedGreenOrBlueGain = nullptr;
    decltype(&::SetVCPFeature) SetVCPFeature = nullptr;
    decltype(&::SaveCurrentSettings) SaveCurrentSettings = nullptr;
};

class Dxva2Library {
  public:
    // Loads the module and resolves its entry points; Loaded() tells whether
    // all of that worked.
    Dxva2Library();

    bool Loaded() const { return static_cast<bool>(module_); }
    // Callable only while Loaded().
    const Dxva2EntryPoints& EntryPoints() const { return entryPoints_; }

  private:
    UniqueModule module_;
    Dxva2EntryPoints entryPoints_;
};
