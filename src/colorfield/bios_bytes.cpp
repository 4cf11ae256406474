#include "colorfield/bios_bytes.h"

#include <algorithm>

#include "log/log_line.h"

namespace bios_bytes {

bool CopyData(const HeaderSteps& steps, std::span<std::uint8_t> dst, std::size_t length,
              const std::uint8_t* buf, std::size_t& offset) {
    if (buf == nullptr || dst.data() == nullptr) {
        Log(log_level::kError, steps.copySource) << L"buf or dst is nullptr!";
        return false;
    }
    if (offset > steps.length || length > steps.length - offset) {
        Log(log_level::kError, steps.copySource)
            << L"Copy out of range.current offset:" << offset << L", copyLen:" << length;
        return false;
    }
    if (length < 1) {
        Log(log_level::kError, steps.copySource) << L"copyLen error!copyLen:" << length;
        return false;
    }
    if (length > dst.size()) {
        Log(log_level::kError, steps.copySource) << L"memcpy_s failed!";
        return false;
    }
    std::copy_n(buf + offset, length, dst.begin());
    offset += length;
    return true;
}

bool ReadNumber(const HeaderSteps& steps, const std::uint8_t* buf, std::size_t& offset,
                std::size_t width, std::uint32_t& out) {
    if (buf == nullptr) {
        Log(log_level::kError, steps.numberSource) << L"buf is nullptr!";
        return false;
    }
    if (offset > steps.length || width > steps.length - offset) {
        Log(log_level::kError, steps.numberSource)
            << L"Copy out of range.current offset:" << offset << L", dataLen:" << width;
        return false;
    }
    out = ReadBigEndian(buf + offset, width);
    offset += width;
    return true;
}

}  // namespace bios_bytes
