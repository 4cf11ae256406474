// The input of the header harnesses: the first byte chooses whether the
// checksum is rewritten to match the rest (odd) or left as fuzzed (even), so
// that half of the runs get past the checksum to the fields behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace bios_fuzz {

struct Input {
    bool sealed = false;
    std::vector<std::uint8_t> bytes;
};

inline Input Split(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return {};
    }
    return {(data[0] & 1) != 0, std::vector<std::uint8_t>(data + 1, data + size)};
}

inline std::uint32_t ByteSum(const std::vector<std::uint8_t>& bytes, std::size_t count) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += bytes[i];
    }
    return sum;
}

inline void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

inline std::uint32_t BigEndian(const std::vector<std::uint8_t>& bytes, std::size_t offset,
                               std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value = value << 8 | bytes[offset + i];
    }
    return value;
}

}  // namespace bios_fuzz
