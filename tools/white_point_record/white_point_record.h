// Writes the factory white point record as the factory stores it in the
// firmware (and the front-end ships as its golden text): the panel's
// measured white and primaries, the identity of the panel measured, and a
// checksum. Not part of the library: its tests and the tool use it.
#pragma once

#include <string>
#include <string_view>

#include "lut_block.h"

namespace white_point_record {

// CIE 1931 chromaticity.
struct Chromaticity {
    double x = 0;
    double y = 0;
};

struct Measurement {
    Chromaticity white;
    Chromaticity red;
    Chromaticity green;
    Chromaticity blue;
};

inline constexpr std::size_t kRecordLength = 66;
inline constexpr std::size_t kChecksummedLength = 64;
inline constexpr std::string_view kHeader1 = "WPT1";
inline constexpr std::string_view kHeader2 = "01";

// The 66-character record, then `trailing` as it is. Coordinates are
// written times 10000, rounded, as 4 digits; the checksum in upper-case hex.
// Throws std::invalid_argument for a field that does not fit: a vendor other
// than 4 characters, a serial other than 8, a week above 99, a year above
// 9999, a coordinate outside 0 ... 0.9999, header 1 other than 4 characters,
// header 2 other than 2, or a value above 9999.
std::string MakeRecord(const lut_block::PanelIdentity& panel, const Measurement& measurement,
                       std::string_view header1 = kHeader1, std::string_view header2 = kHeader2,
                       unsigned value9 = 0, unsigned value10 = 0, std::string_view trailing = "");

// Two upper-case hex digits: the sum of the character codes of `first64`
// (the record's first 64 characters) modulo 256.
std::string Checksum(std::string_view first64);

// A plausible factory measurement of the default laptop's wide-gamut panel.
Measurement ReferencePanelMeasurement();

}  // namespace white_point_record
