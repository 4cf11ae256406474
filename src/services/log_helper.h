// The maker's logging component (LogHelper): where the library's log lines go.
#pragma once

#include <sstream>

enum LOG_MESSAGE_LEVEL {
    LOG_LEVEL_TRACE = 0,
    LOG_LEVEL_INFO = 1,
    LOG_LEVEL_WARNING = 2,
    LOG_LEVEL_ERROR = 3,
    LOG_LEVEL_CRITICAL = 4,
};

// Writes one line at `level`; 0 when it reached the log file, -1 otherwise.
int LogMessage(int level, const wchar_t* text);

// The logger object of the shared utilities: takes the stream itself.
class OrvLogger {
  public:
    static OrvLogger& GetInstance();
    void Log(LOG_MESSAGE_LEVEL level, const std::wstringstream& stream);

  private:
    OrvLogger() = default;
};
