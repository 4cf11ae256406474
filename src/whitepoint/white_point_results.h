// What the white point operations answer on either road.
#pragma once

namespace white_point {

inline constexpr int kApplied = 0;
inline constexpr int kRefused = -1;

}  // namespace white_point
