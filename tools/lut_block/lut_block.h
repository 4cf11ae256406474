// Writes the firmware's 3D LUT data as a factory would: one table per colour
// field mode (header, payload, SHA-256), a golden file (control header and
// tables) and the firmware block (an ACPI table header, then the golden
// content). Not part of the library: the tests, the tool and, on Linux, the
// simulated machine's firmware use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "colour_transform.h"

namespace lut_block {

// The panel a table was measured on, as the EDID reports it.
struct PanelIdentity {
    std::string vendor = "BOE#";      // 4 characters
    std::string serial = "68000000";  // 8 characters
    unsigned week = 36;               // 0 ... 99
    unsigned year = 2023;             // 0 ... 9999
};

// Throws std::invalid_argument for an identity whose fields do not fit the
// 4-character vendor, 8-character serial, week 0-99 and year 0-9999.
void CheckPanelIdentity(const PanelIdentity& panel);

constexpr std::size_t kControlHeaderLength = 16;
constexpr std::size_t kTableHeaderLength = 128;
constexpr std::size_t kDigestLength = 32;
constexpr std::size_t kPayloadLength = 24565;
constexpr std::size_t kTableLength = 24725;
constexpr std::size_t kAcpiHeaderLength = 52;
// Header fields both the writer and the reader place: the table's type,
// its payload length, and the two 16-bit sums.
constexpr std::size_t kTypeOffset = 64;
constexpr std::size_t kPayloadLengthOffset = 66;
constexpr std::size_t kTableCheckSumOffset = 126;
constexpr std::size_t kControlCheckSumOffset = 14;
// Inside a table: the payload words, then one extra byte per entry.
constexpr std::size_t kWordsOffset = kTableHeaderLength;
constexpr std::size_t kExtraBytesOffset = 19780;
constexpr std::uint32_t kAcpiProvider = 0x41435049;  // 'ACPI'
constexpr std::uint32_t kDlutTableId = 0x54554C44;   // "DLUT" read as little-endian
constexpr std::uint16_t kLibraryModeCount = 3;

// Each throws std::invalid_argument for an identity that does not fit its
// fields (see PanelIdentity) or a mode outside 0 ... 255.
std::vector<std::uint8_t> MakeTable(const PanelIdentity& panel, int mode);
std::vector<std::uint8_t> MakeTable(const PanelIdentity& panel, int mode,
                                    const ColourTransform& transform);
std::vector<std::uint8_t> MakeGoldenFile(const PanelIdentity& panel, const std::vector<int>& modes);
std::vector<std::uint8_t> MakeFirmwareBlock(const PanelIdentity& panel,
                                            const std::vector<int>& modes);

// The pieces, for blocks that a test or fuzzer puts together itself.
std::vector<std::uint8_t> MakeControlHeader(std::uint16_t tableCount,
                                            std::uint32_t tableSize = kTableLength,
                                            std::uint16_t headerLength = kControlHeaderLength);
std::vector<std::uint8_t> MakeGoldenFile(const std::vector<std::vector<std::uint8_t>>& tables);
std::vector<std::uint8_t> MakeFirmwareBlock(std::span<const std::uint8_t> golden);
// Rewrites the checksum of the control header or of the table header at the
// start of `bytes` (which must hold the whole header) after an edit.
void SealControlHeader(std::span<std::uint8_t> bytes);
void SealTableHeader(std::span<std::uint8_t> bytes);
// Rewrites a table's digest over its header and its payload as the header
// announces it; false when the table is too short for that.
bool SealTableDigest(std::span<std::uint8_t> table);

// The 4913 words the driver must receive for that mode's table: red level
// << 20 | green << 10 | blue, straight from the writer's grid.
std::vector<std::uint32_t> DriverTable(int mode);
std::vector<std::uint32_t> DriverTable(const ColourTransform& transform);

}  // namespace lut_block
