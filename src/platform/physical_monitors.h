// The physical monitors behind one display (an HMONITOR), fetched through
// dxva2 and destroyed together when the owner goes.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "platform/dxva2_library.h"

class PhysicalMonitors {
  public:
    // Empty when they cannot be counted or fetched.
    PhysicalMonitors(const Dxva2EntryPoints& dxva2, HMONITOR display) : dxva2_(dxva2) {
        DWORD count = 0;
        if (!dxva2_.GetNumberOfPhysicalMonitorsFromHMONITOR(display, &count) || count == 0) {
            return;
        }
        monitors_.resize(count);
        if (!dxva2_.GetPhysicalMonitorsFromHMONITOR(display, count, monitors_.data())) {
            monitors_.clear();
        }
    }
    ~PhysicalMonitors() {
        if (!monitors_.empty()) {
            dxva2_.DestroyPhysicalMonitors(static_cast<DWORD>(monitors_.size()), monitors_.data());
        }
    }
    PhysicalMonitors(const PhysicalMonitors&) = delete;
    PhysicalMonitors& operator=(const PhysicalMonitors&) = delete;

    std::span<const PHYSICAL_MONITOR> Monitors() const { return monitors_; }

  private:
    const Dxva2EntryPoints& dxva2_;
    std::vector<PHYSICAL_MONITOR> monitors_;
};
