// The reading side of the block writer: what a golden file or a firmware block
// holds, read with a bounds check on every field so that any bytes at all can
// be read. It reads the format on its own, apart from the library's
// parsers, so that each checks the other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace lut_block {

// Where the control header sits: at 0 in a golden file, after the ACPI
// header in a firmware block.
enum class Layout { GoldenFile, FirmwareBlock };

struct ControlReport {
    std::uint16_t headerLength = 0;
    std::uint16_t tableCount = 0;
    std::uint32_t tableSize = 0;
    bool checksumOk = false;
};

struct TableReport {
    std::size_t index = 0;
    std::uint8_t type = 0;
    std::uint32_t payloadLength = 0;
    // The raw text fields (not upper-cased), which may hold any bytes.
    std::string serial, vendor, year, week;
    bool headerChecksumOk = false;
    bool digestOk = false;
};

struct BlockReport {
    ControlReport control;
    std::vector<TableReport> tables;
};

// The bytes cannot be a block: the reason says which part is missing.
class NotABlock : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

BlockReport ReadBlockReport(std::span<const std::uint8_t> bytes, Layout layout);

}  // namespace lut_block
