// The 17 x 17 x 17 colour table of colour enhancement and the header that
// hands it to the Intel driver.
#pragma once

#include <guiddef.h>

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

// The driver feature that takes the table.
inline constexpr GUID kColorEnhanceFeature = {
    0xAC8A94D8, 0x1B95, 0x4292, {0x82, 0xBF, 0x40, 0x64, 0x12, 0x9B, 0x16, 0x22}};

// 4913 entries of red, green, blue and a zero byte; the first channel varies fastest.
std::vector<std::uint8_t> BuildColorEnhanceTable(const ColorMatrix& matrix);

// The 56-byte header: enable or disable, for one device id.
std::vector<std::uint8_t> BuildColorEnhanceHeader(bool enable, std::int32_t deviceId);
