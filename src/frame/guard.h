// The exception guard of the guarded exports: every exception is caught,
// logged at error level with the export's message and name, and turned into
// the export's failure value.
#pragma once

#include <exception>
#include <type_traits>

#include "log/log_line.h"
#include "util/text_conversion.h"

constexpr int kGuardLogLevel = 3;

// Catches everything; `failure` is returned after the line is logged.
template <typename Body, typename Result = std::invoke_result_t<Body>>
Result Guarded(const char* exportName, const wchar_t* message, Result failure, Body&& body) {
    try {
        return body();
    } catch (...) {
        Log(kGuardLogLevel, exportName) << message;
        return failure;
    }
}

// For exports without a result.
template <typename Body>
void Guarded(const char* exportName, const wchar_t* message, Body&& body) {
    try {
        body();
    } catch (...) {
        Log(kGuardLogLevel, exportName) << message;
    }
}

// Catches standard exceptions only and appends their text, converted from
// the ANSI code page, to the message.
template <typename Body, typename Result = std::invoke_result_t<Body>>
Result GuardedWithText(const char* exportName, const wchar_t* message, Result failure,
                       Body&& body) {
    try {
        return body();
    } catch (const std::exception& error) {
        Log(kGuardLogLevel, exportName) << message << AnsiToWide(error.what());
        return failure;
    }
}
