// The colour enhancement table against sRGB round trips computed here, and
// the header that hands it to the driver.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "temperature/color_enhance_table.h"

namespace {

using Entry = std::array<int, 4>;

constexpr int kGrid = 17;

double ToLinear(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double FromLinear(double x) {
    return x <= 0.0031308 ? 12.92 * x : 1.055 * std::pow(x, 1.0 / 2.4) - 0.055;
}

Entry ExpectedEntry(const ColorMatrix& m, int k1, int k2, int k3) {
    const double in[3] = {ToLinear(k1 / 16.0), ToLinear(k2 / 16.0), ToLinear(k3 / 16.0)};
    Entry entry{0, 0, 0, 0};
    for (int row = 0; row < 3; ++row) {
        double out = 0;
        for (int col = 0; col < 3; ++col) {
            out += double{m[row * 3 + col]} * in[col];
        }
        out = out < 0 ? 0 : (out > 1 ? 1 : out);
        const double scaled = std::floor(255 * FromLinear(out) + 0.5);
        entry[row] = scaled > 255 ? 255 : static_cast<int>(scaled);
    }
    return entry;
}

Entry EntryAt(const std::vector<std::uint8_t>& table, int k1, int k2, int k3) {
    const std::size_t at = 4 * (k1 + kGrid * k2 + kGrid * kGrid * k3);
    return {table[at], table[at + 1], table[at + 2], table[at + 3]};
}

void ExpectTableMatches(const ColorMatrix& matrix) {
    const auto table = BuildColorEnhanceTable(matrix);
    ASSERT_EQ(table.size(), 19652u);
    for (int k3 = 0; k3 < kGrid; ++k3) {
        for (int k2 = 0; k2 < kGrid; ++k2) {
            for (int k1 = 0; k1 < kGrid; ++k1) {
                ASSERT_EQ(EntryAt(table, k1, k2, k3), ExpectedEntry(matrix, k1, k2, k3))
                    << "entry " << k1 << "," << k2 << "," << k3;
            }
        }
    }
}

std::int32_t WordAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::int32_t word = 0;
    std::memcpy(&word, bytes.data() + offset, sizeof word);
    return word;
}

}  // namespace

TEST(ColorEnhanceTable, IdentityReproducesEveryGridPoint) {
    const auto table = BuildColorEnhanceTable(kIdentityColorMatrix);
    EXPECT_EQ(EntryAt(table, 4, 0, 16), (Entry{64, 0, 255, 0}));
    EXPECT_EQ(EntryAt(table, 16, 16, 16), (Entry{255, 255, 255, 0}));
    EXPECT_EQ(EntryAt(table, 0, 0, 0), (Entry{0, 0, 0, 0}));
    EXPECT_EQ(EntryAt(table, 1, 15, 2), (Entry{16, 239, 32, 0}));
    ExpectTableMatches(kIdentityColorMatrix);
}

TEST(ColorEnhanceTable, RowsOfTheMatrixMakeTheOutputChannels) {
    // Every output channel takes the first input channel: a transposed
    // product would mix all three inputs into red instead.
    const ColorMatrix firstChannelEverywhere = {1, 0, 0, 1, 0, 0, 1, 0, 0};
    const auto table = BuildColorEnhanceTable(firstChannelEverywhere);
    EXPECT_EQ(EntryAt(table, 8, 16, 0), (Entry{128, 128, 128, 0}));
    ExpectTableMatches(firstChannelEverywhere);
}

TEST(ColorEnhanceTable, MixedLightIsClampedToTheUnitRange) {
    const ColorMatrix overdriven = {2, 0, 0, 0, 1, 0, 0, 0, 1};
    EXPECT_EQ(EntryAt(BuildColorEnhanceTable(overdriven), 12, 0, 0)[0], 255);
    const ColorMatrix negative = {-1, 0, 0, 0.5f, -0.5f, 0, 0.2f, 0.3f, 0.6f};
    EXPECT_EQ(EntryAt(BuildColorEnhanceTable(negative), 16, 16, 16), (Entry{0, 0, 255, 0}));
    ExpectTableMatches(overdriven);
    ExpectTableMatches(negative);
    ExpectTableMatches({1.2f, -0.1f, -0.1f, -0.05f, 1.1f, -0.05f, 0.0f, -0.2f, 1.2f});
}

TEST(ColorEnhanceTable, NotANumberInTheMatrixGivesDarkEntries) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const auto table = BuildColorEnhanceTable({nan, 0, 0, 0, 1, 0, 0, 0, 1});
    EXPECT_EQ(EntryAt(table, 16, 8, 4), (Entry{0, 128, 64, 0}));
}

TEST(ColorEnhanceHeader, EnableAndDisableDifferOnlyInTheirFlag) {
    const auto enable = BuildColorEnhanceHeader(true, 12345);
    const auto disable = BuildColorEnhanceHeader(false, -2);
    ASSERT_EQ(enable.size(), 56u);
    ASSERT_EQ(disable.size(), 56u);
    for (const auto& [header, flag, id] :
         {std::tuple{enable, 0, 12345}, std::tuple{disable, 1, -2}}) {
        for (std::size_t offset = 0; offset < 56; offset += 4) {
            const std::int32_t expected = offset == 0    ? 2
                                          : offset == 28 ? flag
                                          : offset == 44 ? 1
                                          : offset == 48 ? id
                                                         : 0;
            EXPECT_EQ(WordAt(header, offset), expected) << "word at byte " << offset;
        }
    }
}
