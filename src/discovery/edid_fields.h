// The panel identity's byte rules, shared by both of its owners: where the
// four fields sit in the EDID base block and how each becomes a value.
// Nothing else of the block is read, and neither its header nor its checksum
// is checked.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace discovery {

namespace edid {

// The identity ends with the year byte.
inline constexpr unsigned int kIdentityLength = 18;
inline constexpr unsigned int kVendorOffset = 8;
inline constexpr unsigned int kVendorLength = 2;
inline constexpr unsigned int kSerialOffset = 12;
inline constexpr unsigned int kSerialLength = 4;
inline constexpr unsigned int kWeekOffset = 16;
inline constexpr unsigned int kYearOffset = 17;

// The big-endian manufacturer id of two bytes holds three 5-bit letter codes
// (bit 15 is ignored): "ABC#" for 0x0443. A code of 0 or above 26 refuses
// the id; the letters are checked from the last to the first, and the first
// refused code is the result instead.
std::variant<std::string, unsigned int> DecodeVendor(const unsigned char* bytes);

// Bytes 12 to 15 as 8 upper-case hexadecimal digits, in stored order.
std::string SerialText(const unsigned char* data);

// Byte 16; a week above 53 (255 marks a model year) is 0.
std::uint32_t Week(const unsigned char* data);

// Byte 17, counted from 1990.
std::uint32_t Year(const unsigned char* data);

}  // namespace edid

// OperateColor's copy of the panel identity: four texts.
struct EdidTextIdentity {
    std::string vendor;        // "ABC#"
    std::string serialNumber;  // "0A0B0C0D"
    std::string year;          // "2019"
    std::string week;          // two digits: "07", "36"
};

// OperateColor's parser: the same rules as LcdEdidParse::ParseEdid, without
// messages. A refused block leaves `identity` as it was.
bool ParseEdidText(const unsigned char* data, unsigned int length, EdidTextIdentity& identity);

}  // namespace discovery
