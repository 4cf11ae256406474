#include "colorfield/bios_header_v1.h"

#include <exception>

#include "colorfield/bios_bytes.h"
#include "log/log_line.h"

namespace {

constexpr std::uint32_t kCheckSumModulus = 256;

}  // namespace

BiosHeaderV1::~BiosHeaderV1() = default;

bool BiosHeaderV1::Parse(const std::uint8_t* buf, std::size_t len) {
    if (!IsBiosHeaderDataValid(buf, len)) {
        return false;
    }
    ResetCommon();
    checkSum_ = {};
    rest_ = {};
    std::size_t offset = 0;
    return ParseImpl(buf, len, offset) && CopyData(checkSum_, checkSum_.size(), buf, offset) &&
           CopyData(rest_, rest_.size(), buf, offset) && IsCheckSumValid(buf, len);
}

bool BiosHeaderV1::IsBiosHeaderDataValid(const std::uint8_t* buf, std::size_t len) {
    if (buf == nullptr) {
        Log(log_level::kError, "BiosHeaderV1::IsBiosHeaderDataValid") << L"buf is nullptr!";
        return false;
    }
    if (len < kLength) {
        Log(log_level::kError, "BiosHeaderV1::IsBiosHeaderDataValid")
            << L"bufLen:" << len << L" is invalid! minHeaderLen is:" << kLength
            << L" on V1 version";
        return false;
    }
    return true;
}

std::string BiosHeaderV1::GetCheckSumText() const {
    std::string text(checkSum_.begin(), checkSum_.end());
    text.append(rest_.begin(), rest_.end());
    return text.substr(0, text.find('\0'));
}

bool BiosHeaderV1::IsCheckSumValid(const std::uint8_t* buf, std::size_t len) {
    if (buf == nullptr || len < kLength) {
        return false;
    }
    const std::string text = GetCheckSumText();
    try {
        return std::stoul(text) == bios_bytes::ByteSum(buf, kCommonLength) % kCheckSumModulus;
    } catch (const std::exception& error) {
        Log(log_level::kError, "BiosHeaderV1::IsCheckSumValid")
            << L"BiosHeaderV1::IsControlHeaderCheckSumValid exception! msg:" << error.what()
            << L" , BiosHeaderV1 checkSum:" << text;
        return false;
    }
}
