#include "colorfield/bios_control_header.h"

#include "colorfield/bios_bytes.h"
#include "log/log_line.h"

namespace {

// The checksum covers every byte in front of it.
constexpr std::size_t kControlCheckSumOffset = 14;
constexpr bios_bytes::HeaderSteps kControlSteps{BiosControlHeader::kLength,
                                                "BiosControlHeader::CopyData",
                                                "BiosControlHeader::ParseBinaryData"};

}  // namespace

BiosControlHeader::~BiosControlHeader() = default;

bool BiosControlHeader::Parse(const std::uint8_t* buf, std::size_t len) {
    if (!IsBiosControlDataValid(buf, len)) {
        return false;
    }
    *this = BiosControlHeader{};
    if (!ParseFields(buf)) {
        Log(log_level::kError, "BiosControlHeader::Parse") << L"Parse data failed!";
        return false;
    }
    return IsCheckSumValid(buf);
}

bool BiosControlHeader::IsBiosControlDataValid(const std::uint8_t* buf, std::size_t len) const {
    if (buf == nullptr) {
        Log(log_level::kError, "BiosControlHeader::IsBiosControlDataValid") << L"buf is nullptr!";
        return false;
    }
    if (len < kLength) {
        Log(log_level::kError, "BiosControlHeader::IsBiosControlDataValid")
            << L"bufLen:" << len << L" is invalid! minHeaderLen is:" << kLength
            << L" for Bios control header.";
        return false;
    }
    return true;
}

bool BiosControlHeader::ParseFields(const std::uint8_t* buf) {
    std::size_t offset = 0;
    using bios_bytes::CopyData;
    using bios_bytes::ParseBinaryData;
    return CopyData(kControlSteps, tag_, tag_.size(), buf, offset) &&
           ParseBinaryData(kControlSteps, buf, offset, headerLength_) &&
           ParseBinaryData(kControlSteps, buf, offset, tableCount_) &&
           ParseBinaryData(kControlSteps, buf, offset, tableSize_) &&
           CopyData(kControlSteps, reserved_, reserved_.size(), buf, offset) &&
           ParseBinaryData(kControlSteps, buf, offset, checkSum_);
}

bool BiosControlHeader::IsCheckSumValid(const std::uint8_t* buf) const {
    return static_cast<std::uint16_t>(bios_bytes::ByteSum(buf, kControlCheckSumOffset)) ==
           checkSum_;
}
