// Modules the library loads at run time from the system directory: the
// owner that frees them, the load itself, the lookup of an entry point by
// name, and the system directory.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <type_traits>

struct ModuleFree {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFree>;

inline constexpr UINT kSystemDirectoryChars = 260;

// The system directory, or nothing when it cannot be read whole.
inline std::optional<std::wstring> SystemDirectory() {
    wchar_t directory[kSystemDirectoryChars];
    const UINT length = GetSystemDirectoryW(directory, kSystemDirectoryChars);
    if (length == 0 || length >= kSystemDirectoryChars) {
        return std::nullopt;
    }
    return std::wstring(directory, length);
}

// A system library by its bare name, searched for in the system directory
// only: the normal search order starts in the application's folder, where
// anyone who can write there could plant a library of the same name.
inline UniqueModule LoadSystemLibrary(const wchar_t* name) {
    return UniqueModule(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

template <typename Function>
Function EntryPoint(HMODULE module, const char* name) {
    // Through the one function type that converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Looks an entry point up into `slot`; false when the module lacks it.
template <typename Function>
bool ResolveEntryPoint(HMODULE module, const char* name, Function& slot) {
    slot = EntryPoint<Function>(module, name);
    return slot != nullptr;
}
