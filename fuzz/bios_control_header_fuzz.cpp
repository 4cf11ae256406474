// Any bytes as a control header: the parse reads nothing past the length it is
// given, accepts exactly the headers whose checksum holds and reports the
// numbers they carry.
#include "bios_fuzz_input.h"
#include "colorfield/bios_control_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace bios_fuzz;
    Input input = Split(data, size);
    std::vector<std::uint8_t>& bytes = input.bytes;
    const bool complete = bytes.size() >= BiosControlHeader::kLength;
    if (input.sealed && complete) {
        const std::uint32_t sum = ByteSum(bytes, 14);
        bytes[14] = static_cast<std::uint8_t>(sum >> 8);
        bytes[15] = static_cast<std::uint8_t>(sum);
    }
    BiosControlHeader header;
    const bool parsed = header.Parse(bytes.data(), bytes.size());
    Require(parsed == (complete &&
                       static_cast<std::uint16_t>(ByteSum(bytes, 14)) == BigEndian(bytes, 14, 2)));
    if (complete) {
        Require(header.GetHeaderLength() == BigEndian(bytes, 4, 2));
        Require(header.GetTableCount() == BigEndian(bytes, 6, 2));
        Require(header.GetTableSize() == BigEndian(bytes, 8, 4));
    }
    return 0;
}
