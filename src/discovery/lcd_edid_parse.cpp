#include "discovery/lcd_edid_parse.h"

#include <variant>

#include "discovery/edid_fields.h"
#include "log/log_line.h"

namespace {

constexpr const char* kVendorSource = "LcdEdidParse::ParseEdidVendor";

}  // namespace

LcdEdidParse::LcdEdidParse() {
    Reset();
}

LcdEdidParse::~LcdEdidParse() {
    Reset();
}

void LcdEdidParse::Reset() {
    vendor_.clear();
    serialNumber_.clear();
    week_ = kUnknown;
    year_ = kUnknown;
}

bool LcdEdidParse::ParseEdid(const unsigned char* data, unsigned int length) {
    if (data == nullptr || length < discovery::edid::kIdentityLength) {
        return false;
    }
    Reset();
    if (!ParseEdidVendor(data + discovery::edid::kVendorOffset, discovery::edid::kVendorLength)) {
        return false;
    }
    serialNumber_ = discovery::edid::SerialText(data);
    week_ = discovery::edid::Week(data);
    year_ = discovery::edid::Year(data);
    return true;
}

bool LcdEdidParse::ParseEdidVendor(const unsigned char* data, unsigned int length) {
    if (data == nullptr || length != discovery::edid::kVendorLength) {
        Log(log_level::kError, kVendorSource) << L"Vendor data length error,dataLen:" << length;
        return false;
    }
    const auto vendor = discovery::edid::DecodeVendor(data);
    if (const auto* code = std::get_if<unsigned int>(&vendor)) {
        // The refused letter code itself, written as a character.
        Log(log_level::kError, kVendorSource)
            << L"Vendor data out of boundary,data:" << static_cast<wchar_t>(*code);
        return false;
    }
    vendor_ = std::get<std::string>(vendor);
    return true;
}

std::string LcdEdidParse::GetVendor() const {
    return vendor_;
}

std::string LcdEdidParse::GetSerialNumber() const {
    return serialNumber_;
}

std::uint32_t LcdEdidParse::GetWeek() const {
    return week_;
}

std::uint32_t LcdEdidParse::GetYear() const {
    return year_;
}
