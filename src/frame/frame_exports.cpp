// The exports of the frame itself and of logging.
#include "log/log_line.h"
#include "services/log_helper.h"
#include "tintwell/tintwell.h"

void EnterColorObject() {}

void ExitColorObject() {}

// The caller's text is written as one line whatever it holds.
int LcdLogMessage(int level, const wchar_t* text) {
    if (text == nullptr) {
        return LogMessage(level, text);
    }
    return LogMessage(level, EscapeControlCharacters(text).c_str());
}

void StopLogger() {}
