// Composes one log line in a wide stream and hands it to the logging
// component when the statement ends, with the source name in parentheses:
//   Log(3, "ColorField::SwitchIccFile") << L"InstallIccFile Failed! fileName:" << path;
#pragma once

#include <sstream>
#include <string>
#include <string_view>

// The level every log line carries.
namespace log_level {
inline constexpr int kTrace = 0;
inline constexpr int kInfo = 1;
inline constexpr int kWarning = 2;
inline constexpr int kError = 3;
}  // namespace log_level

// Text of the library's own that spans several lines on purpose, inserted as
// it stands; every other piece of text has its control characters escaped.
struct OwnText {
    std::wstring_view text;
};

// Control characters as \xHH (and the Unicode line and paragraph separators
// as \u2028, \u2029), so that text from files and callers cannot cut a line
// short at a NUL, forge a second line or reach a terminal raw.
std::wstring EscapeControlCharacters(std::wstring_view text);

class LogLine {
  public:
    LogLine(int level, const char* source) : level_(level), source_(source) {}
    ~LogLine();
    LogLine(const LogLine&) = delete;
    LogLine& operator=(const LogLine&) = delete;

    template <typename T>
    LogLine& operator<<(const T& piece) {
        stream_ << piece;
        return *this;
    }
    LogLine& operator<<(std::wstring_view piece);
    LogLine& operator<<(const std::wstring& piece) { return *this << std::wstring_view(piece); }
    LogLine& operator<<(const wchar_t* piece);
    LogLine& operator<<(wchar_t piece) { return *this << std::wstring_view(&piece, 1); }
    // Narrow text of the library's own is widened character by character.
    LogLine& operator<<(const std::string& piece);
    LogLine& operator<<(const char* piece);
    LogLine& operator<<(const OwnText& piece);

  private:
    int level_;
    const char* source_;
    std::wostringstream stream_;
};

inline LogLine Log(int level, const char* source) {
    return LogLine(level, source);
}

// Widens narrow text character by character (bytes 0..255 to U+0000..U+00FF).
std::wstring WidenBytes(std::string_view text);
