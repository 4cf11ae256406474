// Byte-level helpers shared by the firmware LUT header parsers: every number in
// the headers is big-endian and every checksum is a plain byte sum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

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

// The length a header parser reads within, and the sources its step lines
// name: every copy and number is checked against it before a byte is read.
struct HeaderSteps {
    std::size_t length;
    const char* copySource;
    const char* numberSource;
};

// Copies `length` bytes at `offset` into `dst` and advances the offset.
bool CopyData(const HeaderSteps& steps, std::span<std::uint8_t> dst, std::size_t length,
              const std::uint8_t* buf, std::size_t& offset);

// Reads a big-endian number of `width` bytes at `offset` and advances.
bool ReadNumber(const HeaderSteps& steps, const std::uint8_t* buf, std::size_t& offset,
                std::size_t width, std::uint32_t& out);

template <typename Number>
bool ParseBinaryData(const HeaderSteps& steps, const std::uint8_t* buf, std::size_t& offset,
                     Number& out) {
    std::uint32_t value = 0;
    if (!ReadNumber(steps, buf, offset, sizeof out, value)) {
        return false;
    }
    out = static_cast<Number>(value);
    return true;
}

}  // namespace bios_bytes
