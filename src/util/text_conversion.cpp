#include "util/text_conversion.h"

#include <windows.h>

#include <limits>

#include "services/log_helper.h"

namespace {

constexpr std::uint64_t kLargestHexInput = std::uint64_t{1} << 63;
constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

std::wstring AnsiToWide(const std::string& text) {
    return AnsiToWide(text, CP_ACP);
}

std::wstring AnsiToWide(const std::string& text, unsigned int codePage) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
    return wide;
}

std::string WideToAnsi(const std::wstring& text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

namespace DE {

std::string BytesToHexString(const unsigned char* bytes, std::uint64_t count) {
    if (bytes == nullptr || count == 0) {
        return {};
    }
    if (count >= kLargestHexInput) {
        std::wstringstream line;
        line << L"size * 2 is too big" << L"(DE::BytesToHexString)";
        OrvLogger::GetInstance().Log(LOG_LEVEL_CRITICAL, line);
        return {};
    }
    std::string hex;
    hex.reserve(static_cast<std::size_t>(count) * 2);
    for (std::uint64_t i = 0; i < count; ++i) {
        hex += kHexDigits[bytes[i] >> 4];
        hex += kHexDigits[bytes[i] & 0x0F];
    }
    return hex;
}

}  // namespace DE
