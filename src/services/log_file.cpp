#include "services/log_file.h"

#include "platform/files.h"
#include "platform/utf8.h"
#include "services/time_stamp.h"

namespace services {

namespace {

constexpr const wchar_t* kLogFileVariable = L"TINTWELL_LOG_FILE";
// Beside the settings folder, never inside it: creating the log's folders
// must not create the folder that the settings store may only find.
constexpr const wchar_t* kLogFileInProgramData = L"\\Vozaz\\Logs\\TintwellDll.log";

// Looked up for every line, so that a host can move the log while running.
std::wstring LogFilePath() {
    return platform::EnvironmentValue(kLogFileVariable)
        .value_or(platform::ProgramDataFolder() + kLogFileInProgramData);
}

}  // namespace

LogFile LogFile::instance_;

LogFile& LogFile::Instance() {
    return instance_;
}

bool LogFile::Write(int level, std::wstring_view text) {
    std::string line = Iso8601UtcNow() + " [" + std::to_string(level) + "] ";
    line += platform::ToUtf8(text);
    line += '\n';
    std::lock_guard lock(mutex_);
    return platform::AppendToFile(LogFilePath(), line);
}

}  // namespace services
