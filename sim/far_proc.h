// An entry point of a simulated module as GetProcAddress hands it out.
#pragma once

#include <windows.h>

namespace sim {

// Through the one function type that converts to any other without a warning.
template <typename Function>
FARPROC AsFarProc(Function* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

}  // namespace sim
