// Conversions between narrow text in the ANSI code page and wide text, and
// bytes to hexadecimal text.
#pragma once

#include <cstdint>
#include <string>

std::wstring AnsiToWide(const std::string& text);
// The same in a code page of the caller's choice (CP_THREAD_ACP, say).
std::wstring AnsiToWide(const std::string& text, unsigned int codePage);
std::string WideToAnsi(const std::wstring& text);

namespace DE {

// Upper-case hexadecimal, high nibble first, no separators.
std::string BytesToHexString(const unsigned char* bytes, std::uint64_t count);

}  // namespace DE
