// The gains that move a panel's measured white to D65, from the factory
// record's white point and primaries.
#pragma once

#include <array>
#include <optional>

#include "whitepoint/white_point_adjust_info.h"

// Red, green and blue gains, the largest 1. Nothing when the record gives no
// sound gains: primaries that span no colour space (a determinant within
// 1e-6 of 0), a white point of y = 0, or D65 outside the panel's primaries
// (a negative channel, which has no 1/2.2 power).
std::optional<std::array<float, 3>> WhitePointGains(const WhitePointAdjustInfo& record);
