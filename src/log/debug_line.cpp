#include "log/debug_line.h"

#include <windows.h>

#include "log/log_line.h"

DebugLine& DebugLine::operator<<(const std::string& piece) {
    stream_ << WidenBytes(piece);
    return *this;
}

DebugLine::~DebugLine() {
    if (source_ != nullptr) {
        stream_ << L'(' << WidenBytes(source_) << L')';
    }
    stream_ << std::endl;
    const std::wstring line = stream_.str();
    OutputDebugStringW(line.c_str());
}
