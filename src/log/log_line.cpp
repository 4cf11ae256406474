#include "log/log_line.h"

#include "tintwell/tintwell.h"

std::wstring WidenBytes(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (char c : text) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return wide;
}

LogLine& LogLine::operator<<(const std::string& piece) {
    stream_ << WidenBytes(piece);
    return *this;
}

LogLine::~LogLine() {
    stream_ << L'(' << WidenBytes(source_) << L')';
    LcdLogMessage(level_, stream_.str().c_str());
}
