#include "log/log_line.h"

#include <array>

#include "services/log_helper.h"

namespace {

constexpr wchar_t kLineSeparator = 0x2028;
constexpr wchar_t kParagraphSeparator = 0x2029;

bool IsControl(wchar_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == kLineSeparator || c == kParagraphSeparator;
}

void AppendEscaped(std::wstring& out, wchar_t c) {
    constexpr std::array<wchar_t, 16> kHex = {L'0', L'1', L'2', L'3', L'4', L'5', L'6', L'7',
                                              L'8', L'9', L'a', L'b', L'c', L'd', L'e', L'f'};
    const auto code = static_cast<unsigned>(c);
    const int digits = code > 0xFF ? 4 : 2;
    out += code > 0xFF ? L"\\u" : L"\\x";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out += kHex[(code >> shift) & 0xF];
    }
}

}  // namespace

std::wstring EscapeControlCharacters(std::wstring_view text) {
    std::wstring escaped;
    escaped.reserve(text.size());
    for (wchar_t c : text) {
        if (IsControl(c)) {
            AppendEscaped(escaped, c);
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::wstring WidenBytes(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (char c : text) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return wide;
}

LogLine& LogLine::operator<<(std::wstring_view piece) {
    stream_ << EscapeControlCharacters(piece);
    return *this;
}

LogLine& LogLine::operator<<(const wchar_t* piece) {
    return *this << (piece == nullptr ? std::wstring_view(L"(null)") : std::wstring_view(piece));
}

LogLine& LogLine::operator<<(const std::string& piece) {
    return *this << WidenBytes(piece);
}

LogLine& LogLine::operator<<(const char* piece) {
    return piece == nullptr ? *this << L"(null)" : *this << WidenBytes(piece);
}

LogLine& LogLine::operator<<(const OwnText& piece) {
    stream_ << piece.text;
    return *this;
}

// The line goes to the component directly: the export's entry escapes its
// caller's whole text, which would escape the library's own line breaks too.
LogLine::~LogLine() {
    stream_ << L'(' << WidenBytes(source_) << L')';
    LogMessage(level_, stream_.str().c_str());
}
