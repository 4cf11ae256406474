// Any bytes as the firmware's LUT block: cutting a mode's table out of it and
// checking its digest never reads outside the block. The first byte picks the
// mode and whether the checksums are made to hold, so that the fuzzer gets
// past them to the tables.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "colorfield/lut_handle_3d.h"

namespace {

constexpr std::size_t kControlOffset = 52;
constexpr std::size_t kControlChecksum = 14;
constexpr std::size_t kTableChecksum = 126;
constexpr std::uint64_t kMaxTablesSealed = 64;

std::uint64_t BigEndian(const std::vector<std::uint8_t>& bytes, std::size_t at, int width) {
    std::uint64_t value = 0;
    for (int n = 0; n < width; ++n) {
        value = value << 8 | bytes[at + n];
    }
    return value;
}

void Seal(std::vector<std::uint8_t>& bytes, std::size_t start, std::size_t checksumAt) {
    unsigned sum = 0;
    for (std::size_t n = start; n < start + checksumAt; ++n) {
        sum += bytes[n];
    }
    bytes[start + checksumAt] = static_cast<std::uint8_t>(sum >> 8);
    bytes[start + checksumAt + 1] = static_cast<std::uint8_t>(sum);
}

void SealHeaders(std::vector<std::uint8_t>& block) {
    if (block.size() < kControlOffset + 16) {
        return;
    }
    Seal(block, kControlOffset, kControlChecksum);
    const std::uint64_t first = kControlOffset + BigEndian(block, kControlOffset + 4, 2);
    const std::uint64_t count = BigEndian(block, kControlOffset + 6, 2);
    const std::uint64_t size = BigEndian(block, kControlOffset + 8, 4);
    for (std::uint64_t n = 0; n < count && n < kMaxTablesSealed; ++n) {
        const std::uint64_t table = first + n * size;
        if (size < 128 || table + 128 > block.size()) {
            return;
        }
        Seal(block, static_cast<std::size_t>(table), kTableChecksum);
    }
}

}  // namespace

// Refusals log a line each; a fuzzer makes millions of them.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TINTWELL_LOG_FILE", "/dev/null", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint32_t mode = data[0] & 3;
    std::vector<std::uint8_t> block(data + 1, data + size);
    if ((data[0] & 4) != 0) {
        SealHeaders(block);
    }
    static LutHandle3D handle;
    if (handle.GetOneLutDat3D(mode, block)) {
        if (handle.IsLutDataValid3D(block) && block.size() >= 24725) {
            handle.ParseOneLutDataFile3D(mode, block.data(), block.size());
        }
    }
    return 0;
}
