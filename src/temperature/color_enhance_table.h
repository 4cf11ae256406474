// The 17 x 17 x 17 colour table of colour enhancement and the header that
// hands it to the Intel driver.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Row-major 3 x 3 colour matrix applied in linear light.
using ColorMatrix = std::array<float, 9>;

inline constexpr ColorMatrix kIdentityColorMatrix = {1, 0, 0, 0, 1, 0, 0, 0, 1};
inline constexpr int kEnhanceGridPoints = 17;
inline constexpr std::size_t kEnhanceTableBytes =
    kEnhanceGridPoints * kEnhanceGridPoints * kEnhanceGridPoints * 4;
inline constexpr std::size_t kEnhanceHeaderBytes = 56;

// 4913 entries of red, green, blue and a zero byte; the first channel varies fastest.
std::vector<std::uint8_t> BuildColorEnhanceTable(const ColorMatrix& matrix);

// The 56-byte header: enable or disable, for one device id.
std::vector<std::uint8_t> BuildColorEnhanceHeader(bool enable, std::int32_t deviceId);
