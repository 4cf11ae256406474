// GetDisplayType's answers that the commands choose their roads by.
#pragma once

namespace tintwell_cli::display_type {

inline constexpr int kIntel = 0;
inline constexpr int kAmdTalvik = 1;
inline constexpr int kMorven = 2;
inline constexpr int kAmd = 3;

// The white point moves, and the AMD road serves, on these.
inline constexpr bool HasGraphicsRoad(int type) {
    return type == kIntel || type == kAmdTalvik || type == kAmd;
}

}  // namespace tintwell_cli::display_type
