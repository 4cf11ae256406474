// The exports of the frame itself and of logging.
#include "services/log_helper.h"
#include "tintwell/tintwell.h"

void EnterColorObject() {}

void ExitColorObject() {}

int LcdLogMessage(int level, const wchar_t* text) {
    return LogMessage(level, text);
}

void StopLogger() {}
