// The maker's data report component. The library never touches the network:
// a report is one line appended to a local spool file in the program-data
// folder, "<ISO-8601 UTC time>\t<first>\t<second>\n". The two texts are
// written byte for byte except that a backslash, a tab and every other
// control character (below 0x20, and 0x7F) are escaped ("\\", "\t", "\n",
// "\r", else "\xHH"), so no text can break a line or shift a field.
#include "services/orv_data_report.h"

#include <mutex>

#include "platform/files.h"
#include "services/report_refusal.h"
#include "services/time_stamp.h"

namespace {

constexpr const wchar_t* kSpoolInProgramData = L"\\Vozaz\\OrvLumivex\\Reports\\DataReport.spool";

std::mutex g_spoolMutex;

void AppendEscaped(std::string& line, const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\\':
                line += "\\\\";
                break;
            case '\t':
                line += "\\t";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    line += "\\x";
                    line += kHex[byte >> 4];
                    line += kHex[byte & 0x0F];
                } else {
                    line += c;
                }
        }
    }
}

}  // namespace

EventDataReport& EventDataReport::Instance() {
    static EventDataReport instance;
    return instance;
}

LogInfo EventDataReport::GetMsg(const std::string& first, const std::string& second) {
    return LogInfo{first, second};
}

bool EventDataReport::SendMsg(const LogInfo& info) {
    if (services::MachineRefusesReport()) {
        return false;
    }
    std::string line = services::Iso8601UtcNow();
    line += '\t';
    AppendEscaped(line, info.first);
    line += '\t';
    AppendEscaped(line, info.second);
    line += '\n';
    std::lock_guard lock(g_spoolMutex);
    return platform::AppendToFile(platform::ProgramDataFolder() + kSpoolInProgramData, line);
}
