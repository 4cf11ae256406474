// Any bytes as a version 2 table header: nothing is read past the length
// given, a header of 128 bytes or more always fills every field, and it is
// accepted exactly when its checksum holds.
#include <string>

#include "bios_fuzz_input.h"
#include "colorfield/bios_header_v2.h"

namespace {

bool IsUpperCaseOf(const std::string& upper, const std::vector<std::uint8_t>& bytes,
                   std::size_t offset) {
    for (std::size_t i = 0; i < upper.size(); ++i) {
        const char c = static_cast<char>(bytes[offset + i]);
        const char expected = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper[i] != expected) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace bios_fuzz;
    Input input = Split(data, size);
    std::vector<std::uint8_t>& bytes = input.bytes;
    const bool complete = bytes.size() >= BiosHeaderV2::kLength;
    if (input.sealed && complete) {
        const std::uint32_t sum = ByteSum(bytes, 126);
        bytes[126] = static_cast<std::uint8_t>(sum >> 8);
        bytes[127] = static_cast<std::uint8_t>(sum);
    }
    BiosHeaderV2 header;
    const bool parsed = header.Parse(bytes.data(), bytes.size());
    Require(parsed == (complete && static_cast<std::uint16_t>(ByteSum(bytes, 126)) ==
                                       BigEndian(bytes, 126, 2)));
    if (complete) {
        Require(header.GetLutType() == bytes[64]);
        Require(header.GetPayloadLength() == BigEndian(bytes, 66, 4));
        Require(header.GetSerialNumber().size() == 8 &&
                IsUpperCaseOf(header.GetSerialNumber(), bytes, 46));
        Require(header.GetVendor().size() == 4 && IsUpperCaseOf(header.GetVendor(), bytes, 60));
        Require(header.GetYear() == std::string(bytes.begin() + 54, bytes.begin() + 58));
    }
    return 0;
}
