// Composes one developer trace line in a wide stream and writes it to the
// debug output when the statement ends, closed by a line feed. With a source
// name the line ends with it in parentheses, as a log line does:
//   DebugTrace("OperateColor::GetDeviceType") << L"device type is " << type;
// Without one it is a tagged line:
//   DebugTrace() << L"[LCD HaveOrvMonitor begin] ";
#pragma once

#include <sstream>
#include <string>

class DebugLine {
  public:
    explicit DebugLine(const char* source) : source_(source) {}
    ~DebugLine();
    DebugLine(const DebugLine&) = delete;
    DebugLine& operator=(const DebugLine&) = delete;

    template <typename T>
    DebugLine& operator<<(const T& piece) {
        stream_ << piece;
        return *this;
    }
    // Narrow text of the library's own is widened character by character.
    DebugLine& operator<<(const std::string& piece);

  private:
    const char* source_;
    std::wostringstream stream_;
};

inline DebugLine DebugTrace(const char* source = nullptr) {
    return DebugLine(source);
}
