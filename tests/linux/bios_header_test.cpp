// The firmware LUT header parsers on chosen bytes and on what the block writer
// makes: checksums, bounds, the fields each parse fills and the lines it logs.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <openssl/sha.h>

#include "../shared/test_platform.h"
#include "colorfield/bios_control_header.h"
#include "colorfield/bios_header_v1.h"
#include "colorfield/bios_header_v2.h"
#include "lut_block.h"

namespace tw_test {

namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<std::string> ErrorLines() {
    std::vector<std::string> lines;
    for (const auto& record : ExportTest::LogRecords()) {
        if (record.level == 3) {
            lines.push_back(record.text);
        }
    }
    return lines;
}

void PutText(Bytes& bytes, std::size_t offset, const std::string& text) {
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

// A V2 header whose fields hold the given identity, with its checksum.
Bytes TableHeader(const std::string& serial, const std::string& vendor, std::uint8_t type = 2) {
    Bytes header(128, 0);
    PutText(header, 0, "dlut02");
    PutText(header, 46, serial);
    PutText(header, 54, "2019");
    PutText(header, 58, "12");
    PutText(header, 60, vendor);
    header[64] = type;
    header[65] = 7;
    header[66] = 0x00;
    header[67] = 0x00;
    header[68] = 0x5F;
    header[69] = 0xF5;
    lut_block::SealTableHeader(header);
    return header;
}

// The library's conversion of one table entry into the driver's word.
std::uint32_t ConvertedEntry(const Bytes& table, std::size_t n) {
    const std::size_t at = lut_block::kWordsOffset + 4 * n;
    const std::uint32_t w = std::uint32_t{table[at]} << 24 | std::uint32_t{table[at + 1]} << 16 |
                            std::uint32_t{table[at + 2]} << 8 | table[at + 3];
    const std::uint32_t e = table[lut_block::kExtraBytesOffset + n];
    return (w & 0x3FF) | ((w >> 12) & 0x3FF) << 10 | (((w >> 24) | e << 8) & 0x3FF) << 20;
}

}  // namespace

TEST_F(ExportTest, ControlHeaderSumsItsBytesModulo65536) {
    Bytes header(16, 0xFF);
    header[14] = 0x0D;  // 14 x 255 = 3570
    header[15] = 0xF2;
    BiosControlHeader control;
    EXPECT_TRUE(control.Parse(header.data(), header.size()));
    EXPECT_EQ(control.GetCheckSum(), 3570);
    EXPECT_EQ(control.GetTableCount(), 0xFFFF);
    EXPECT_EQ(control.GetTableSize(), 0xFFFFFFFFu);

    const Bytes sample{0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x03,
                       0x00, 0x00, 0x60, 0x95, 0x00, 0x00, 0x01, 0x08};
    ASSERT_TRUE(control.Parse(sample.data(), sample.size()));
    EXPECT_EQ(control.GetHeaderLength(), 16);
    EXPECT_EQ(control.GetTableCount(), 3);
    EXPECT_EQ(control.GetTableSize(), lut_block::kTableLength);
    EXPECT_EQ(control.GetCheckSum(), 0x0108);
    EXPECT_EQ(lut_block::MakeControlHeader(3), sample);
    EXPECT_TRUE(ErrorLines().empty());
}

TEST_F(ExportTest, ControlHeaderRefusesShortBuffersAndMismatchesQuietly) {
    Bytes sample = lut_block::MakeControlHeader(3);
    BiosControlHeader control;
    EXPECT_FALSE(control.Parse(sample.data(), 15));
    EXPECT_FALSE(control.Parse(nullptr, 16));
    sample[15] ^= 1;
    EXPECT_FALSE(control.Parse(sample.data(), sample.size()));
    EXPECT_EQ(control.GetTableCount(), 3);
    EXPECT_EQ(ErrorLines(), (std::vector<std::string>{
                                "bufLen:15 is invalid! minHeaderLen is:16 for Bios control "
                                "header.(BiosControlHeader::IsBiosControlDataValid)",
                                "buf is nullptr!(BiosControlHeader::IsBiosControlDataValid)"}));
}

TEST_F(ExportTest, TableHeaderNeeds128BytesAndKeepsFieldsOfAMismatch) {
    Bytes header = TableHeader("0a0b0c0d", "abc#");
    BiosHeaderV2 v2;
    EXPECT_FALSE(v2.Parse(header.data(), 127));
    EXPECT_EQ(ErrorLines(), std::vector<std::string>{"bufLen:127 is invalid! minHeaderLen is:128 "
                                                     "on V2 version(BiosHeaderV2::"
                                                     "IsBiosHeaderDataValid)"});

    header[127] += 1;
    EXPECT_FALSE(v2.Parse(header.data(), header.size()));
    EXPECT_EQ(v2.GetLutType(), 2);
    EXPECT_EQ(v2.GetSecondType(), 7);
    EXPECT_EQ(v2.GetPayloadLength(), lut_block::kPayloadLength);
    EXPECT_EQ(v2.GetYear(), "2019");
    EXPECT_EQ(v2.GetWeek(), "12");
    EXPECT_EQ(ErrorLines().size(), 1u);

    header[127] -= 1;
    EXPECT_TRUE(v2.Parse(header.data(), header.size()));
    EXPECT_EQ(v2.GetCheckSum(), header[126] << 8 | header[127]);
}

TEST_F(ExportTest, OnlySerialAndVendorAreUpperCased) {
    const Bytes header = TableHeader("0a0b0c0d", "abc#");
    BiosHeaderV2 v2;
    ASSERT_TRUE(v2.Parse(header.data(), header.size()));
    EXPECT_EQ(v2.GetSerialNumber(), "0A0B0C0D");
    EXPECT_EQ(v2.GetVendor(), "ABC#");
    EXPECT_EQ(v2.GetTag(), "dlut");
    EXPECT_EQ(v2.GetVersion(), "02");
}

TEST_F(ExportTest, VersionOneChecksumIsDecimalTextOfTheCommonSum) {
    Bytes header = TableHeader("0A0B0C0D", "ABC#");
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < 64; ++i) {
        sum += header[i];
    }
    std::fill(header.begin() + 64, header.end(), 0);
    PutText(header, 64, std::to_string(sum % 256));
    BiosHeaderV1 v1;
    EXPECT_TRUE(v1.Parse(header.data(), header.size()));
    EXPECT_EQ(v1.GetCheckSumText(), std::to_string(sum % 256));
    EXPECT_EQ(v1.GetVendor(), "ABC#");

    PutText(header, 64, "x1");
    EXPECT_FALSE(v1.Parse(header.data(), header.size()));
    EXPECT_FALSE(v1.Parse(header.data(), 127));
    const auto lines = ErrorLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("BiosHeaderV1::IsControlHeaderCheckSumValid exception! msg:", 0), 0u)
        << lines[0];
    EXPECT_NE(lines[0].find(" , BiosHeaderV1 checkSum:x1"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find(" on V1 version"), std::string::npos) << lines[1];
}

TEST_F(ExportTest, WrittenGoldenFileParsesAsTheLibraryReadsIt) {
    const lut_block::PanelIdentity panel{"ABC#", "0a0b0c0d", 5, 2019};
    const Bytes golden = lut_block::MakeGoldenFile(panel, {3, 1});
    ASSERT_EQ(golden.size(), 16 + 2 * lut_block::kTableLength);
    BiosControlHeader control;
    ASSERT_TRUE(control.Parse(golden.data(), golden.size()));
    ASSERT_EQ(control.GetTableCount(), 2);

    const int modes[] = {3, 1};
    for (std::size_t index = 0; index < 2; ++index) {
        const std::size_t at = control.GetHeaderLength() + index * control.GetTableSize();
        const Bytes table(
            golden.begin() + static_cast<std::ptrdiff_t>(at),
            golden.begin() + static_cast<std::ptrdiff_t>(at + control.GetTableSize()));
        EXPECT_EQ(table, lut_block::MakeTable(panel, modes[index]));
        BiosHeaderV2 v2;
        ASSERT_TRUE(v2.Parse(table.data(), table.size()));
        EXPECT_EQ(v2.GetLutType(), modes[index]);
        EXPECT_EQ(v2.GetSerialNumber(), "0A0B0C0D");
        EXPECT_EQ(v2.GetYear(), "2019");
        EXPECT_EQ(v2.GetWeek(), "05");
        std::array<unsigned char, SHA256_DIGEST_LENGTH> digest{};
        const std::size_t covered = 128 + v2.GetPayloadLength();
        SHA256(table.data(), covered, digest.data());
        EXPECT_TRUE(std::equal(digest.begin(), digest.end(), table.begin() + covered));

        const auto driver = lut_block::DriverTable(modes[index]);
        ASSERT_EQ(driver.size(), 4913u);
        for (std::size_t n = 0; n < driver.size(); ++n) {
            ASSERT_EQ(ConvertedEntry(table, n), driver[n]) << "entry " << n;
        }
    }
    EXPECT_TRUE(ErrorLines().empty());
}

}  // namespace tw_test
