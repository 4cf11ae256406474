#include "services/log_helper.h"

#include "services/log_file.h"

int LogMessage(int level, const wchar_t* text) {
    const bool written = services::LogFile::Instance().Write(level, text != nullptr ? text : L"");
    return written ? 0 : -1;
}

OrvLogger& OrvLogger::GetInstance() {
    static OrvLogger logger;
    return logger;
}

void OrvLogger::Log(LOG_MESSAGE_LEVEL level, const std::wstringstream& stream) {
    services::LogFile::Instance().Write(level, stream.str());
}
