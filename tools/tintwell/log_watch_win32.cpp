#include <windows.h>

#include <string>

#include "log_watch.h"

namespace tintwell_cli {

namespace {

constexpr const wchar_t* kLogFileVariable = L"TINTWELL_LOG_FILE";
constexpr const wchar_t* kProgramDataVariable = L"ProgramData";
constexpr const wchar_t* kDefaultProgramData = L"C:\\ProgramData";
constexpr const wchar_t* kLogFileInProgramData = L"\\Vozaz\\Logs\\TintwellDll.log";

std::wstring Variable(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

}  // namespace

std::filesystem::path LibraryLogPath() {
    if (std::wstring file = Variable(kLogFileVariable); !file.empty()) {
        return file;
    }
    std::wstring programData = Variable(kProgramDataVariable);
    if (programData.empty()) {
        programData = kDefaultProgramData;
    }
    return programData + kLogFileInProgramData;
}

}  // namespace tintwell_cli
