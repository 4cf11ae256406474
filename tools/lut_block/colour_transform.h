// The colour transform a mode's table realises: the panel's native primaries
// mapped onto the mode's target gamut, in linear light between gamma encodings.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace lut_block {

constexpr int kGridPoints = 17;
constexpr std::size_t kEntryCount = kGridPoints * kGridPoints * kGridPoints;  // 4913
constexpr std::uint16_t kMaxLevel = 1023;

struct Chromaticity {
    double x = 0;
    double y = 0;
};

struct Primaries {
    Chromaticity red, green, blue, white;
};

// Native panel primaries of the reference laptop: wider than every target, so
// that each mode's table narrows the panel rather than clipping it.
Primaries NativePanelPrimaries();
// 1 sRGB, 2 P3, 3 Adobe RGB; nothing for other modes.
const Primaries* TargetPrimaries(int mode);

struct ColourTransform {
    // Row-major: panel linear RGB = matrix x target linear RGB.
    std::array<double, 9> matrix{1, 0, 0, 0, 1, 0, 0, 0, 1};
    double gamma = 2.2;
};

// From the target's primaries onto the panel's; the identity for a mode
// without target primaries.
ColourTransform TransformFor(const Primaries& panel, int mode);
ColourTransform DefaultTransform(int mode);

// One 10-bit output level per channel.
using GridEntry = std::array<std::uint16_t, 3>;
// Entry (i, j, k) at i * 289 + j * 17 + k: i the red input, j green, k blue.
std::vector<GridEntry> BuildGrid(const ColourTransform& transform);

}  // namespace lut_block
