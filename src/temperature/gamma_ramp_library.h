// The system's gdi32, loaded for the length of one gamma ramp change.
#pragma once

#include <windows.h>

#include <array>

#include "platform/system_module.h"

// Three arrays of 256 16-bit values, red, green, blue: SetDeviceGammaRamp's layout.
using GammaRamp = std::array<WORD, 3 * 256>;

class GammaRampLibrary {
  public:
    GammaRampLibrary() = default;
    ~GammaRampLibrary();
    GammaRampLibrary(const GammaRampLibrary&) = delete;
    GammaRampLibrary& operator=(const GammaRampLibrary&) = delete;

    // Builds the linear ramp of three gains (each above 1.0 taken as 1.0) and
    // loads it into the first display attached to the desktop or primary;
    // a display that keeps another ramp is logged, not failed.
    bool LoadLinearRamp(float redGain, float greenGain, float blueGain);

    // Gains below 0 and NaN are taken as 0.
    static GammaRamp BuildLinearRamp(float redGain, float greenGain, float blueGain);

  private:
    bool EnsureLoaded();

    UniqueModule module_;
    using GammaRampFunction = BOOL(WINAPI*)(HDC, LPVOID);
    GammaRampFunction getDeviceGammaRamp_ = nullptr;
    GammaRampFunction setDeviceGammaRamp_ = nullptr;
};
