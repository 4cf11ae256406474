// kernel32: modules loaded at run time and the system folder. The machine
// provides the system's gdi32 and nothing else.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "sim/display_model.h"
#include "sim/machine.h"
#include "sim/wide_text.h"

namespace {

constexpr std::wstring_view kSystemDirectory = L"C:\\Windows\\System32";
constexpr std::wstring_view kGdi32 = L"gdi32.dll";

// Names below 0x10000 are ordinals, which the model's modules do not export.
constexpr std::uintptr_t kOrdinalLimit = 0x10000;

bool NamesGdi32(std::wstring_view fileName) {
    const std::wstring inSystemDirectory =
        std::wstring(kSystemDirectory) + L"\\" + std::wstring(kGdi32);
    return sim::EqualsIgnoringCase(fileName, kGdi32) ||
           sim::EqualsIgnoringCase(fileName, inSystemDirectory);
}

bool IsOrdinal(LPCSTR procName) {
    return reinterpret_cast<std::uintptr_t>(procName) < kOrdinalLimit;
}

}  // namespace

HMODULE WINAPI LoadLibraryW(LPCWSTR fileName) {
    auto& machine = sim::Machine::Current();
    if (const auto error = machine.TakeFailure("LoadLibraryW")) {
        SetLastError(*error);
        return nullptr;
    }
    if (fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!NamesGdi32(fileName)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return machine.Displays().LoadGdi32();
}

// "GetProcAddress" fails the next lookup whatever its name;
// "GetProcAddress:<name>" fails only lookups of that entry point.
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    auto& machine = sim::Machine::Current();
    if (!machine.Displays().IsLoadedGdi32(module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (IsOrdinal(procName)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    const std::string name = procName;
    auto error = machine.TakeFailure("GetProcAddress");
    if (!error) {
        error = machine.TakeFailure("GetProcAddress:" + name);
    }
    if (error) {
        SetLastError(*error);
        return nullptr;
    }
    const FARPROC address = sim::Gdi32Export(name);
    if (address == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
    }
    return address;
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    if (!sim::Machine::Current().Displays().FreeGdi32(module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

// The characters copied without the terminating zero, or, when the buffer is
// too small, the size it needs with the zero.
UINT WINAPI GetSystemDirectoryW(LPWSTR buffer, UINT size) {
    if (const auto error = sim::Machine::Current().TakeFailure("GetSystemDirectoryW")) {
        SetLastError(*error);
        return 0;
    }
    const auto length = static_cast<UINT>(kSystemDirectory.size());
    if (buffer == nullptr || size <= length) {
        return length + 1;
    }
    std::copy(kSystemDirectory.begin(), kSystemDirectory.end(), buffer);
    buffer[length] = L'\0';
    return length;
}
