#include "temperature/color_enhance_table.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kGridStep = 1.0 / (kEnhanceGridPoints - 1);
constexpr int kEntryBytes = 4;
constexpr double kByteScale = 255.0;

// The header's 32-bit fields by byte offset; the two fixed words mean what
// the driver makes of them.
constexpr std::size_t kLeadingWordOffset = 0;
constexpr std::int32_t kLeadingWord = 2;
constexpr std::size_t kDisableFlagOffset = 28;
constexpr std::size_t kWord44Offset = 44;
constexpr std::int32_t kWord44 = 1;
constexpr std::size_t kDeviceIdOffset = 48;

using Linear = std::array<double, kEnhanceGridPoints>;
using WideMatrix = std::array<double, 9>;

double SrgbDecode(double encoded) {
    return encoded <= 0.04045 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
}

double SrgbEncode(double linear) {
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}

// Not-a-number counts as 0, so any matrix gives a defined table.
double ClampUnit(double value) {
    return value > 0.0 ? std::min(value, 1.0) : 0.0;
}

std::uint8_t ToByte(double encoded) {
    return static_cast<std::uint8_t>(std::min(255L, std::lround(kByteScale * encoded)));
}

// Every channel samples the same grid, so each grid point is decoded once.
Linear DecodedGrid() {
    Linear grid{};
    for (int k = 0; k < kEnhanceGridPoints; ++k) {
        grid[k] = SrgbDecode(k * kGridStep);
    }
    return grid;
}

WideMatrix Widen(const ColorMatrix& matrix) {
    WideMatrix wide{};
    std::copy(matrix.begin(), matrix.end(), wide.begin());
    return wide;
}

// Each output channel mixes the three linear input channels by one matrix row.
void WriteEntry(const std::array<double, 3>& linear, const WideMatrix& matrix,
                std::uint8_t* entry) {
    for (int row = 0; row < 3; ++row) {
        const double mixed = matrix[3 * row] * linear[0] + matrix[3 * row + 1] * linear[1] +
                             matrix[3 * row + 2] * linear[2];
        entry[row] = ToByte(SrgbEncode(ClampUnit(mixed)));
    }
    entry[3] = 0;
}

void WriteInt32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::int32_t value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

}  // namespace

std::vector<std::uint8_t> BuildColorEnhanceTable(const ColorMatrix& matrix) {
    const WideMatrix wide = Widen(matrix);
    const Linear grid = DecodedGrid();
    std::vector<std::uint8_t> table(kEnhanceTableBytes);
    std::uint8_t* entry = table.data();
    for (int k3 = 0; k3 < kEnhanceGridPoints; ++k3) {
        for (int k2 = 0; k2 < kEnhanceGridPoints; ++k2) {
            for (int k1 = 0; k1 < kEnhanceGridPoints; ++k1) {
                WriteEntry({grid[k1], grid[k2], grid[k3]}, wide, entry);
                entry += kEntryBytes;
            }
        }
    }
    return table;
}

std::vector<std::uint8_t> BuildColorEnhanceHeader(bool enable, std::int32_t deviceId) {
    std::vector<std::uint8_t> header(kEnhanceHeaderBytes);
    WriteInt32(header, kLeadingWordOffset, kLeadingWord);
    WriteInt32(header, kDisableFlagOffset, enable ? 0 : 1);
    WriteInt32(header, kWord44Offset, kWord44);
    WriteInt32(header, kDeviceIdOffset, deviceId);
    return header;
}
