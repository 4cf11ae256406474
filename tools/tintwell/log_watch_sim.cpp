#include <cstdlib>
#include <cstring>
#include <string>

#include "log_watch.h"
#include "whitepoint_machine.h"

namespace tintwell_cli {

namespace {

constexpr const wchar_t* kLogFile = L"C:\\ProgramData\\Vozaz\\Logs\\TintwellDll.log";

}  // namespace

std::filesystem::path LibraryLogPath() {
    if (const char* variable = std::getenv("TINTWELL_LOG_FILE"); variable && *variable) {
        return HostPath(std::wstring(variable, variable + std::strlen(variable)));
    }
    return HostPath(kLogFile);
}

}  // namespace tintwell_cli
