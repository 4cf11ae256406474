#include "colorfield/bios_control_header.h"

#include <algorithm>

#include "colorfield/bios_bytes.h"
#include "log/log_line.h"

namespace {

constexpr int kError = 3;
// The checksum covers every byte in front of it.
constexpr std::size_t kCheckSumOffset = 14;

}  // namespace

BiosControlHeader::~BiosControlHeader() = default;

bool BiosControlHeader::Parse(const std::uint8_t* buf, std::size_t len) {
    if (!IsBiosControlDataValid(buf, len)) {
        return false;
    }
    *this = BiosControlHeader{};
    if (!ParseFields(buf)) {
        Log(kError, "BiosControlHeader::Parse") << L"Parse data failed!";
        return false;
    }
    return IsCheckSumValid(buf);
}

bool BiosControlHeader::IsBiosControlDataValid(const std::uint8_t* buf, std::size_t len) const {
    if (buf == nullptr) {
        Log(kError, "BiosControlHeader::IsBiosControlDataValid") << L"buf is nullptr!";
        return false;
    }
    if (len < kLength) {
        Log(kError, "BiosControlHeader::IsBiosControlDataValid")
            << L"bufLen:" << len << L" is invalid! minHeaderLen is:" << kLength
            << L" for Bios control header.";
        return false;
    }
    return true;
}

bool BiosControlHeader::ParseFields(const std::uint8_t* buf) {
    std::size_t offset = 0;
    return CopyData(tag_, tag_.size(), buf, offset) &&
           ParseBinaryData(buf, offset, headerLength_) &&
           ParseBinaryData(buf, offset, tableCount_) && ParseBinaryData(buf, offset, tableSize_) &&
           CopyData(reserved_, reserved_.size(), buf, offset) &&
           ParseBinaryData(buf, offset, checkSum_);
}

bool BiosControlHeader::CopyData(std::span<std::uint8_t> dst, std::size_t length,
                                 const std::uint8_t* buf, std::size_t& offset) const {
    if (buf == nullptr || dst.data() == nullptr) {
        Log(kError, "BiosControlHeader::CopyData") << L"buf or dst is nullptr!";
        return false;
    }
    if (offset > kLength || length > kLength - offset) {
        Log(kError, "BiosControlHeader::CopyData")
            << L"Copy out of range.current offset:" << offset << L", copyLen:" << length;
        return false;
    }
    if (length < 1) {
        Log(kError, "BiosControlHeader::CopyData") << L"copyLen error!copyLen:" << length;
        return false;
    }
    if (length > dst.size()) {
        Log(kError, "BiosControlHeader::CopyData") << L"memcpy_s failed!";
        return false;
    }
    std::copy_n(buf + offset, length, dst.begin());
    offset += length;
    return true;
}

bool BiosControlHeader::ParseBinaryData(const std::uint8_t* buf, std::size_t& offset,
                                        std::uint16_t& out) const {
    std::uint32_t value = 0;
    if (!ReadNumber(buf, offset, sizeof out, value)) {
        return false;
    }
    out = static_cast<std::uint16_t>(value);
    return true;
}

bool BiosControlHeader::ParseBinaryData(const std::uint8_t* buf, std::size_t& offset,
                                        std::uint32_t& out) const {
    return ReadNumber(buf, offset, sizeof out, out);
}

bool BiosControlHeader::ReadNumber(const std::uint8_t* buf, std::size_t& offset, std::size_t width,
                                   std::uint32_t& out) const {
    if (buf == nullptr) {
        Log(kError, "BiosControlHeader::ParseBinaryData") << L"buf is nullptr!";
        return false;
    }
    if (offset > kLength || width > kLength - offset) {
        Log(kError, "BiosControlHeader::ParseBinaryData")
            << L"Copy out of range.current offset:" << offset << L", dataLen:" << width;
        return false;
    }
    out = bios_bytes::ReadBigEndian(buf + offset, width);
    offset += width;
    return true;
}

bool BiosControlHeader::IsCheckSumValid(const std::uint8_t* buf) const {
    return static_cast<std::uint16_t>(bios_bytes::ByteSum(buf, kCheckSumOffset)) == checkSum_;
}
