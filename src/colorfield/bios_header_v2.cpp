#include "colorfield/bios_header_v2.h"

#include "colorfield/bios_bytes.h"
#include "log/log_line.h"

namespace {

constexpr std::size_t kTableCheckSumOffset = 126;

}  // namespace

BiosHeaderV2::~BiosHeaderV2() = default;

bool BiosHeaderV2::Parse(const std::uint8_t* buf, std::size_t len) {
    if (!IsBiosHeaderDataValid(buf, len)) {
        return false;
    }
    ResetCommon();
    lutType_ = 0;
    secondType_ = 0;
    payloadLength_ = 0;
    reserved_ = {};
    checkSum_ = 0;
    std::size_t offset = 0;
    if (!ParseImpl(buf, len, offset) || !ParseVersionFields(buf, offset)) {
        Log(log_level::kError, "BiosHeaderV2::Parse") << L"Bios Header V2 Parse Failed!";
        return false;
    }
    return IsCheckSumValid(buf, len);
}

bool BiosHeaderV2::IsBiosHeaderDataValid(const std::uint8_t* buf, std::size_t len) {
    if (buf == nullptr) {
        Log(log_level::kError, "BiosHeaderV2::IsBiosHeaderDataValid") << L"buf is nullptr!";
        return false;
    }
    if (len < kLength) {
        Log(log_level::kError, "BiosHeaderV2::IsBiosHeaderDataValid")
            << L"bufLen:" << len << L" is invalid! minHeaderLen is:" << kLength
            << L" on V2 version";
        return false;
    }
    return true;
}

bool BiosHeaderV2::IsCheckSumValid(const std::uint8_t* buf, std::size_t len) {
    if (buf == nullptr || len < kLength) {
        return false;
    }
    return static_cast<std::uint16_t>(bios_bytes::ByteSum(buf, kTableCheckSumOffset)) == checkSum_;
}

bool BiosHeaderV2::ParseVersionFields(const std::uint8_t* buf, std::size_t& offset) {
    return ParseByte(buf, offset, lutType_) && ParseByte(buf, offset, secondType_) &&
           ParseBinaryData(buf, offset, payloadLength_) &&
           CopyData(reserved_, reserved_.size(), buf, offset) &&
           ParseBinaryData(buf, offset, checkSum_);
}

bool BiosHeaderV2::ParseByte(const std::uint8_t* buf, std::size_t& offset,
                             std::uint8_t& out) const {
    if (buf == nullptr) {
        Log(log_level::kError, "BiosHeaderV2::ParseByte") << L"buf is nullptr!";
        return false;
    }
    if (offset >= kLength) {
        Log(log_level::kError, "BiosHeaderV2::ParseByte")
            << L"Copy out of range.current offset:" << offset << L", dataLen:" << 1;
        return false;
    }
    out = buf[offset];
    ++offset;
    return true;
}
