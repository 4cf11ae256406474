// GetDisplayType's answers that the commands choose their roads by.
#pragma once

#include <string_view>

namespace tintwell_cli::display_type {

inline constexpr int kIntel = 0;
inline constexpr int kAmdTalvik = 1;
inline constexpr int kMorven = 2;
inline constexpr int kAmd = 3;

// The white point moves, and the AMD road serves, on these.
inline constexpr bool HasGraphicsRoad(int type) {
    return type == kIntel || type == kAmdTalvik || type == kAmd;
}

inline constexpr std::string_view Name(int type) {
    switch (type) {
        case kIntel:
            return "Intel graphics";
        case kAmdTalvik:
            return "AMD graphics on a TALVIK device";
        case kMorven:
            return "MORVEN device";
        case kAmd:
            return "AMD graphics";
        default:
            return "no Intel or AMD graphics found";
    }
}

}  // namespace tintwell_cli::display_type
