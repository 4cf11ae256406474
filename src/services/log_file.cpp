#include "services/log_file.h"

#include <chrono>
#include <cstdio>

#include "platform/files.h"
#include "platform/utf8.h"

namespace services {

namespace {

constexpr const wchar_t* kLogFileVariable = L"TINTWELL_LOG_FILE";
constexpr const wchar_t* kLogFileInProgramData = L"\\Vozaz\\OrvLumivex\\Logs\\TintwellDll.log";

std::string TimeStamp() {
    using namespace std::chrono;
    const auto now = floor<milliseconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{now - day};
    char text[40];
    std::snprintf(
        text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
        static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
        static_cast<int>(time.seconds().count()), static_cast<int>(time.subseconds().count()));
    return text;
}

// Looked up for every line, so that a host can move the log while running.
std::wstring LogFilePath() {
    return platform::EnvironmentValue(kLogFileVariable)
        .value_or(platform::ProgramDataFolder() + kLogFileInProgramData);
}

}  // namespace

LogFile& LogFile::Instance() {
    static LogFile* instance = new LogFile;
    return *instance;
}

bool LogFile::Write(int level, std::wstring_view text) {
    std::string line = TimeStamp() + " [" + std::to_string(level) + "] ";
    line += platform::ToUtf8(text);
    line += '\n';
    std::lock_guard lock(mutex_);
    return platform::AppendToFile(LogFilePath(), line);
}

}  // namespace services
