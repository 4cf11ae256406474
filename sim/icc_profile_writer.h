// ICC profiles of RGB colour spaces, written with Little CMS: the machine's
// standard and pre-installed profiles, and real profiles for tests and tools.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// CIE 1931 xy.
struct Chromaticity {
    double x = 0;
    double y = 0;
};

struct RgbColorSpace {
    std::string description;  // the profile's 'desc'
    Chromaticity red, green, blue, white;
    // The sRGB transfer curve (IEC 61966-2-1, parametric type 4) when true,
    // else a pure power of `gamma`.
    bool srgbCurve = true;
    double gamma = 2.2;
};

// BT.709 primaries, D65, the sRGB curve.
RgbColorSpace SrgbColorSpace();
// P3 primaries, D65, the sRGB curve.
RgbColorSpace DisplayP3ColorSpace();

// The bytes of a display-class ICC profile of `space`.
std::vector<std::uint8_t> MakeRgbProfile(const RgbColorSpace& space);

}  // namespace sim
