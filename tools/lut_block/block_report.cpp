#include "block_report.h"

#include <algorithm>

#include "lut_block.h"
#include "table_digest.h"

namespace lut_block {

namespace {

struct Field {
    std::size_t offset;
    std::size_t width;
};

constexpr Field kSerial{46, 8};
constexpr Field kYear{54, 4};
constexpr Field kWeek{58, 2};
constexpr Field kVendor{60, 4};

// Callers have checked that the bytes hold offset + width.
std::uint32_t BigEndian(std::span<const std::uint8_t> bytes, std::size_t offset,
                        std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value = value << 8 | bytes[offset + i];
    }
    return value;
}

std::uint16_t Sum16(std::span<const std::uint8_t> bytes) {
    std::uint32_t sum = 0;
    for (std::uint8_t b : bytes) {
        sum += b;
    }
    return static_cast<std::uint16_t>(sum);
}

std::string Text(std::span<const std::uint8_t> header, Field field) {
    const auto bytes = header.subspan(field.offset, field.width);
    return std::string(bytes.begin(), bytes.end());
}

ControlReport ReadControl(std::span<const std::uint8_t> header) {
    ControlReport control;
    control.headerLength = static_cast<std::uint16_t>(BigEndian(header, 4, 2));
    control.tableCount = static_cast<std::uint16_t>(BigEndian(header, 6, 2));
    control.tableSize = BigEndian(header, 8, 4);
    control.checksumOk =
        Sum16(header.first(kControlCheckSumOffset)) == BigEndian(header, kControlCheckSumOffset, 2);
    return control;
}

bool DigestMatches(std::span<const std::uint8_t> table, std::uint32_t payloadLength) {
    const std::uint64_t covered = std::uint64_t{kTableHeaderLength} + payloadLength;
    if (covered + kDigestLength > table.size()) {
        return false;
    }
    const Digest digest = Sha256(table.first(static_cast<std::size_t>(covered)));
    const auto stored = table.subspan(static_cast<std::size_t>(covered), kDigestLength);
    return std::equal(digest.begin(), digest.end(), stored.begin());
}

TableReport ReadTable(std::span<const std::uint8_t> table, std::size_t index) {
    TableReport report;
    report.index = index;
    report.type = table[kTypeOffset];
    report.payloadLength = BigEndian(table, kPayloadLengthOffset, 4);
    report.serial = Text(table, kSerial);
    report.vendor = Text(table, kVendor);
    report.year = Text(table, kYear);
    report.week = Text(table, kWeek);
    report.headerChecksumOk =
        Sum16(table.first(kTableCheckSumOffset)) == BigEndian(table, kTableCheckSumOffset, 2);
    report.digestOk = DigestMatches(table, report.payloadLength);
    return report;
}

}  // namespace

BlockReport ReadBlockReport(std::span<const std::uint8_t> bytes, Layout layout) {
    const std::size_t base = layout == Layout::FirmwareBlock ? kAcpiHeaderLength : 0;
    if (bytes.size() < base + kControlHeaderLength) {
        throw NotABlock("too short for a control header: " + std::to_string(bytes.size()) +
                        " bytes, at least " + std::to_string(base + kControlHeaderLength) +
                        " needed");
    }
    BlockReport report;
    report.control = ReadControl(bytes.subspan(base, kControlHeaderLength));
    const ControlReport& control = report.control;
    if (control.tableSize < kTableHeaderLength) {
        throw NotABlock("a table size of " + std::to_string(control.tableSize) +
                        " bytes cannot hold a table header");
    }
    const std::uint64_t first = std::uint64_t{base} + control.headerLength;
    const std::uint64_t end = first + std::uint64_t{control.tableCount} * control.tableSize;
    if (end > bytes.size()) {
        throw NotABlock(std::to_string(control.tableCount) + " tables of " +
                        std::to_string(control.tableSize) + " bytes do not fit in " +
                        std::to_string(bytes.size()) + " bytes");
    }
    for (std::size_t index = 0; index < control.tableCount; ++index) {
        const std::size_t offset = static_cast<std::size_t>(first) + index * control.tableSize;
        report.tables.push_back(ReadTable(bytes.subspan(offset, control.tableSize), index));
    }
    return report;
}

}  // namespace lut_block
