#include "lut_block.h"

#include <algorithm>
#include <stdexcept>

#include "table_digest.h"

namespace lut_block {

namespace {

constexpr std::string_view kTableTag = "DLUT";
constexpr std::string_view kTableVersion = "02";
constexpr std::string_view kWriterName = "TWLB";
constexpr std::size_t kTextFieldsOffset = 6;
constexpr std::size_t kTextFieldCount = 10;
constexpr std::size_t kSerialOffset = 46;
constexpr std::size_t kYearOffset = 54;
constexpr std::size_t kWeekOffset = 58;
constexpr std::size_t kVendorOffset = 60;
constexpr std::size_t kSerialLength = 8;
constexpr std::size_t kVendorLength = 4;
constexpr unsigned kMaxWeek = 99;
constexpr unsigned kMaxYear = 9999;
constexpr int kMaxMode = 255;

// The ACPI description header (36 bytes) and 16 reserved bytes after it.
constexpr std::string_view kAcpiSignature = "DLUT";
constexpr std::string_view kAcpiOemId = "TWELL ";
constexpr std::string_view kAcpiOemTableId = "LUT3D   ";
constexpr std::string_view kAcpiCreatorId = "TWLB";
constexpr std::uint8_t kAcpiRevision = 1;
constexpr std::uint32_t kAcpiOemRevision = 1;
constexpr std::uint32_t kAcpiCreatorRevision = 1;
constexpr std::size_t kAcpiLengthOffset = 4;
constexpr std::size_t kAcpiRevisionOffset = 8;
constexpr std::size_t kAcpiCheckSumOffset = 9;
constexpr std::size_t kAcpiOemIdOffset = 10;
constexpr std::size_t kAcpiOemTableIdOffset = 16;
constexpr std::size_t kAcpiOemRevisionOffset = 24;
constexpr std::size_t kAcpiCreatorIdOffset = 28;
constexpr std::size_t kAcpiCreatorRevisionOffset = 32;

void PutText(std::span<std::uint8_t> bytes, std::size_t offset, std::string_view text) {
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

void PutBigEndian(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value,
                  std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * (width - 1 - i)));
    }
}

void PutLittleEndian32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t ByteSum(std::span<const std::uint8_t> bytes) {
    std::uint32_t sum = 0;
    for (std::uint8_t b : bytes) {
        sum += b;
    }
    return sum;
}

std::string Decimal(unsigned value, std::size_t width) {
    std::string text = std::to_string(value);
    return std::string(width - text.size(), '0') + text;
}

void CheckIdentity(const PanelIdentity& panel, int mode) {
    CheckPanelIdentity(panel);
    if (mode < 0 || mode > kMaxMode) {
        throw std::invalid_argument("a LUT type is one byte: " + std::to_string(mode));
    }
}

void WriteTableHeader(std::span<std::uint8_t> table, const PanelIdentity& panel, int mode) {
    PutText(table, 0, kTableTag);
    PutText(table, kTableTag.size(), kTableVersion);
    PutText(table, kTextFieldsOffset, kWriterName);
    for (std::size_t field = 1; field < kTextFieldCount; ++field) {
        PutText(table, kTextFieldsOffset + 4 * field, "    ");
    }
    PutText(table, kSerialOffset, panel.serial);
    PutText(table, kYearOffset, Decimal(panel.year, 4));
    PutText(table, kWeekOffset, Decimal(panel.week, 2));
    PutText(table, kVendorOffset, panel.vendor);
    table[kTypeOffset] = static_cast<std::uint8_t>(mode);
    PutBigEndian(table, kPayloadLengthOffset, kPayloadLength, 4);
    SealTableHeader(table);
}

// Each entry keeps three 12-bit fields: blue in bits 0-11 of its word, green
// in bits 12-23, red's low byte in bits 24-31 and red's high nibble in the low
// nibble of its extra byte. The 10-bit levels fill the low bits of each field.
void WritePayload(std::span<std::uint8_t> table, const std::vector<GridEntry>& grid) {
    for (std::size_t n = 0; n < grid.size(); ++n) {
        const auto [red, green, blue] = grid[n];
        const std::uint32_t word =
            (std::uint32_t{red} & 0xFF) << 24 | std::uint32_t{green} << 12 | std::uint32_t{blue};
        PutBigEndian(table, kWordsOffset + 4 * n, word, 4);
        table[kExtraBytesOffset + n] = static_cast<std::uint8_t>(red >> 8);
    }
}

}  // namespace

std::vector<std::uint8_t> MakeTable(const PanelIdentity& panel, int mode) {
    return MakeTable(panel, mode, DefaultTransform(mode));
}

std::vector<std::uint8_t> MakeTable(const PanelIdentity& panel, int mode,
                                    const ColourTransform& transform) {
    CheckIdentity(panel, mode);
    std::vector<std::uint8_t> table(kTableLength);
    WriteTableHeader(table, panel, mode);
    WritePayload(table, BuildGrid(transform));
    SealTableDigest(table);
    return table;
}

std::vector<std::uint8_t> MakeGoldenFile(const PanelIdentity& panel,
                                         const std::vector<int>& modes) {
    std::vector<std::vector<std::uint8_t>> tables;
    for (int mode : modes) {
        tables.push_back(MakeTable(panel, mode));
    }
    return MakeGoldenFile(tables);
}

std::vector<std::uint8_t> MakeFirmwareBlock(const PanelIdentity& panel,
                                            const std::vector<int>& modes) {
    return MakeFirmwareBlock(MakeGoldenFile(panel, modes));
}

std::vector<std::uint8_t> MakeControlHeader(std::uint16_t tableCount, std::uint32_t tableSize,
                                            std::uint16_t headerLength) {
    std::vector<std::uint8_t> header(kControlHeaderLength);
    PutBigEndian(header, 4, headerLength, 2);
    PutBigEndian(header, 6, tableCount, 2);
    PutBigEndian(header, 8, tableSize, 4);
    SealControlHeader(header);
    return header;
}

std::vector<std::uint8_t> MakeGoldenFile(const std::vector<std::vector<std::uint8_t>>& tables) {
    if (tables.size() > 0xFFFF) {
        throw std::invalid_argument("a control header counts at most 65535 tables");
    }
    const std::size_t size = tables.empty() ? kTableLength : tables.front().size();
    std::vector<std::uint8_t> golden = MakeControlHeader(static_cast<std::uint16_t>(tables.size()),
                                                         static_cast<std::uint32_t>(size));
    for (const auto& table : tables) {
        if (table.size() != size) {
            throw std::invalid_argument("every table of a block has the same size");
        }
        golden.insert(golden.end(), table.begin(), table.end());
    }
    return golden;
}

std::vector<std::uint8_t> MakeFirmwareBlock(std::span<const std::uint8_t> golden) {
    std::vector<std::uint8_t> block(kAcpiHeaderLength + golden.size());
    std::copy(golden.begin(), golden.end(), block.begin() + kAcpiHeaderLength);
    PutText(block, 0, kAcpiSignature);
    PutLittleEndian32(block, kAcpiLengthOffset, static_cast<std::uint32_t>(block.size()));
    block[kAcpiRevisionOffset] = kAcpiRevision;
    PutText(block, kAcpiOemIdOffset, kAcpiOemId);
    PutText(block, kAcpiOemTableIdOffset, kAcpiOemTableId);
    PutLittleEndian32(block, kAcpiOemRevisionOffset, kAcpiOemRevision);
    PutText(block, kAcpiCreatorIdOffset, kAcpiCreatorId);
    PutLittleEndian32(block, kAcpiCreatorRevisionOffset, kAcpiCreatorRevision);
    // ACPI: all bytes of the table sum to zero.
    block[kAcpiCheckSumOffset] = static_cast<std::uint8_t>(0x100 - (ByteSum(block) & 0xFF));
    return block;
}

void SealControlHeader(std::span<std::uint8_t> bytes) {
    PutBigEndian(bytes, kControlCheckSumOffset, ByteSum(bytes.first(kControlCheckSumOffset)), 2);
}

void SealTableHeader(std::span<std::uint8_t> bytes) {
    PutBigEndian(bytes, kTableCheckSumOffset, ByteSum(bytes.first(kTableCheckSumOffset)), 2);
}

bool SealTableDigest(std::span<std::uint8_t> table) {
    if (table.size() < kTableHeaderLength) {
        return false;
    }
    std::uint64_t payload = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        payload = payload << 8 | table[kPayloadLengthOffset + i];
    }
    if (payload + kTableHeaderLength + kDigestLength > table.size()) {
        return false;
    }
    const auto covered = table.first(kTableHeaderLength + static_cast<std::size_t>(payload));
    const Digest digest = Sha256(covered);
    std::copy(digest.begin(), digest.end(),
              table.begin() + static_cast<std::ptrdiff_t>(covered.size()));
    return true;
}

std::vector<std::uint32_t> DriverTable(int mode) {
    return DriverTable(DefaultTransform(mode));
}

std::vector<std::uint32_t> DriverTable(const ColourTransform& transform) {
    std::vector<std::uint32_t> words;
    words.reserve(kEntryCount);
    for (const auto& [red, green, blue] : BuildGrid(transform)) {
        words.push_back(std::uint32_t{red} << 20 | std::uint32_t{green} << 10 | blue);
    }
    return words;
}

void CheckPanelIdentity(const PanelIdentity& panel) {
    if (panel.vendor.size() != kVendorLength) {
        throw std::invalid_argument("the vendor must have 4 characters: " + panel.vendor);
    }
    if (panel.serial.size() != kSerialLength) {
        throw std::invalid_argument("the serial number must have 8 characters: " + panel.serial);
    }
    if (panel.week > kMaxWeek || panel.year > kMaxYear) {
        throw std::invalid_argument("week 0-99 and year 0-9999 fit the panel identity");
    }
}

}  // namespace lut_block
