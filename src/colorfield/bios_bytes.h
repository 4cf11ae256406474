// Byte-level helpers shared by the firmware LUT header parsers: every number in
// the headers is big-endian and every checksum is a plain byte sum.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bios_bytes {

inline std::uint32_t ReadBigEndian(const std::uint8_t* bytes, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

inline std::uint32_t ByteSum(const std::uint8_t* bytes, std::size_t count) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += bytes[i];
    }
    return sum;
}

}  // namespace bios_bytes
