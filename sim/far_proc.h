// Entry points of simulated modules as GetProcAddress hands them out.
#pragma once

#include <windows.h>

#include <span>
#include <string_view>

namespace sim {

// Through the one function type that converts to any other without a warning.
template <typename Function>
FARPROC AsFarProc(Function* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

struct NamedEntryPoint {
    std::string_view name;
    FARPROC address;
};

// The entry point a module exports under `name`, or null.
inline FARPROC FindEntryPoint(std::span<const NamedEntryPoint> exports, std::string_view name) {
    for (const auto& entryPoint : exports) {
        if (entryPoint.name == name) {
            return entryPoint.address;
        }
    }
    return nullptr;
}

}  // namespace sim
