#include "colorfield/bios_header_base.h"

#include "colorfield/bios_bytes.h"
#include "log/log_line.h"

namespace {

constexpr bios_bytes::HeaderSteps kBaseSteps{BiosHeaderBase::kLength, "BiosHeaderBase::CopyData",
                                             "BiosHeaderBase::ParseBinaryData"};

template <std::size_t N>
std::string Text(const std::array<std::uint8_t, N>& field) {
    return std::string(field.begin(), field.end());
}

std::string UpperCased(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

}  // namespace

BiosHeaderBase::~BiosHeaderBase() = default;

std::string BiosHeaderBase::GetTag() const {
    return Text(tag_);
}

std::string BiosHeaderBase::GetVersion() const {
    return Text(version_);
}

std::string BiosHeaderBase::GetText(std::size_t index) const {
    return index < kTextCount ? Text(texts_[index]) : std::string();
}

std::string BiosHeaderBase::GetSerialNumber() const {
    return UpperCased(Text(serialNumber_));
}

std::string BiosHeaderBase::GetYear() const {
    return Text(year_);
}

std::string BiosHeaderBase::GetWeek() const {
    return Text(week_);
}

std::string BiosHeaderBase::GetVendor() const {
    return UpperCased(Text(vendor_));
}

void BiosHeaderBase::ResetCommon() {
    tag_ = {};
    version_ = {};
    texts_ = {};
    serialNumber_ = {};
    year_ = {};
    week_ = {};
    vendor_ = {};
}

bool BiosHeaderBase::ParseImpl(const std::uint8_t* buf, std::size_t len, std::size_t& offset) {
    if (buf == nullptr) {
        Log(log_level::kError, "BiosHeaderBase::ParseImpl") << L"buf is nullptr!";
        return false;
    }
    if (offset > len || kCommonLength > len - offset) {
        Log(log_level::kError, "BiosHeaderBase::ParseImpl")
            << L"buf length error!current offset:" << offset << L", copy len:" << kCommonLength;
        return false;
    }
    return CopyCommonFields(buf, offset);
}

bool BiosHeaderBase::CopyData(std::span<std::uint8_t> dst, std::size_t length,
                              const std::uint8_t* buf, std::size_t& offset) const {
    return bios_bytes::CopyData(kBaseSteps, dst, length, buf, offset);
}

bool BiosHeaderBase::ParseBinaryData(const std::uint8_t* buf, std::size_t& offset,
                                     std::uint16_t& out) const {
    return bios_bytes::ParseBinaryData(kBaseSteps, buf, offset, out);
}

bool BiosHeaderBase::ParseBinaryData(const std::uint8_t* buf, std::size_t& offset,
                                     std::uint32_t& out) const {
    return bios_bytes::ParseBinaryData(kBaseSteps, buf, offset, out);
}

bool BiosHeaderBase::CopyCommonFields(const std::uint8_t* buf, std::size_t& offset) {
    if (!CopyData(tag_, tag_.size(), buf, offset) ||
        !CopyData(version_, version_.size(), buf, offset)) {
        return false;
    }
    for (auto& text : texts_) {
        if (!CopyData(text, text.size(), buf, offset)) {
            return false;
        }
    }
    return CopyData(serialNumber_, serialNumber_.size(), buf, offset) &&
           CopyData(year_, year_.size(), buf, offset) &&
           CopyData(week_, week_.size(), buf, offset) &&
           CopyData(vendor_, vendor_.size(), buf, offset);
}
