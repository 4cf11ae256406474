// Any bytes as a version 1 table header: nothing is read past the length
// given (the checksum text included, which ends at the first zero byte or at
// the header's end), and a parse never throws.
#include <algorithm>
#include <string>

#include "bios_fuzz_input.h"
#include "colorfield/bios_header_v1.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace bios_fuzz;
    Input input = Split(data, size);
    std::vector<std::uint8_t>& bytes = input.bytes;
    const bool complete = bytes.size() >= BiosHeaderV1::kLength;
    if (input.sealed && complete) {
        const std::string text = std::to_string(ByteSum(bytes, 64) % 256);
        std::copy(text.begin(), text.end(), bytes.begin() + 64);
        bytes[64 + text.size()] = 0;
    }
    BiosHeaderV1 header;
    const bool parsed = header.Parse(bytes.data(), bytes.size());
    Require(!parsed || complete);
    if (input.sealed && complete) {
        Require(parsed);
    }
    if (complete) {
        Require(header.GetCheckSumText().size() <= 64);
        Require(header.GetVendor().size() == 4);
    }
    return 0;
}
