// Any bytes as an EDID value: both owners' parsers agree on what they accept,
// and what they accept is an identity of the documented shape.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "discovery/edid_fields.h"
#include "discovery/lcd_edid_parse.h"

namespace {

constexpr std::uint32_t kFirstYear = 1990;
constexpr std::uint32_t kLastYear = kFirstYear + 255;
constexpr std::uint32_t kLastWeek = 53;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool IsVendor(const std::string& vendor) {
    return vendor.size() == 4 && vendor[3] == '#' &&
           std::all_of(vendor.begin(), vendor.end() - 1,
                       [](char c) { return c >= 'A' && c <= 'Z'; });
}

bool IsSerial(const std::string& serial) {
    return serial.size() == 8 && std::all_of(serial.begin(), serial.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
           });
}

}  // namespace

// Refusals are logged; the log is not what is fuzzed.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TINTWELL_LOG_FILE", "/dev/null", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto length = static_cast<unsigned int>(std::min<std::size_t>(size, UINT_MAX));
    LcdEdidParse parse;
    discovery::EdidTextIdentity text;
    const bool parsed = parse.ParseEdid(data, length);
    Require(parsed == discovery::ParseEdidText(data, length, text));
    if (parsed) {
        Require(IsVendor(parse.GetVendor()) && IsSerial(parse.GetSerialNumber()));
        Require(parse.GetWeek() <= kLastWeek);
        Require(parse.GetYear() >= kFirstYear && parse.GetYear() <= kLastYear);
        Require(text.vendor == parse.GetVendor() && text.serialNumber == parse.GetSerialNumber());
        Require(text.week.size() == 2 && std::stoul(text.week) == parse.GetWeek());
        Require(text.year == std::to_string(parse.GetYear()));
    }
    // The vendor parse on its own, with whatever length the input claims.
    if (size >= 1) {
        parse.ParseEdidVendor(data + 1, std::min(length - 1, static_cast<unsigned int>(data[0])));
    }
    return 0;
}
