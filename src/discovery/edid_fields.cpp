#include "discovery/edid_fields.h"

#include <algorithm>
#include <cctype>

#include "util/text_conversion.h"

namespace discovery {

namespace edid {

namespace {

constexpr int kLetterCount = 3;
constexpr unsigned int kLetterBits = 5;
constexpr unsigned int kLetterMask = 0x1F;
constexpr unsigned int kLastLetter = 26;
constexpr char kLetterBase = '@';  // code 1 is 'A'
constexpr char kVendorEnd = '#';
constexpr std::uint32_t kLastWeek = 53;
constexpr std::uint32_t kFirstYear = 1990;

}  // namespace

std::variant<std::string, unsigned int> DecodeVendor(const unsigned char* bytes) {
    unsigned int value = bytes[0] * 256u + bytes[1];
    std::string letters(kLetterCount, ' ');
    for (int i = kLetterCount - 1; i >= 0; --i) {
        const unsigned int code = value & kLetterMask;
        value >>= kLetterBits;
        if (code == 0 || code > kLastLetter) {
            return code;
        }
        letters[static_cast<std::size_t>(i)] = static_cast<char>(kLetterBase + code);
    }
    return letters + kVendorEnd;
}

std::string SerialText(const unsigned char* data) {
    std::string serial = DE::BytesToHexString(data + kSerialOffset, kSerialLength);
    std::transform(serial.begin(), serial.end(), serial.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return serial;
}

std::uint32_t Week(const unsigned char* data) {
    const std::uint32_t week = data[kWeekOffset];
    return week > kLastWeek ? 0 : week;
}

std::uint32_t Year(const unsigned char* data) {
    return data[kYearOffset] + kFirstYear;
}

}  // namespace edid

namespace {

// Decimal text of at least two digits.
std::string TwoDigits(std::uint32_t value) {
    const std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

}  // namespace

bool ParseEdidText(const unsigned char* data, unsigned int length, EdidTextIdentity& identity) {
    if (data == nullptr || length < edid::kIdentityLength) {
        return false;
    }
    const auto vendor = edid::DecodeVendor(data + edid::kVendorOffset);
    if (!std::holds_alternative<std::string>(vendor)) {
        return false;
    }
    identity.vendor = std::get<std::string>(vendor);
    identity.serialNumber = edid::SerialText(data);
    identity.week = TwoDigits(edid::Week(data));
    identity.year = std::to_string(edid::Year(data));
    return true;
}

}  // namespace discovery
