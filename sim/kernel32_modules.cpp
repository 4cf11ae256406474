// kernel32: modules loaded at run time, their file names and the system
// folder. The machine provides the system's gdi32, dxva2 and mscms and, with
// AMD graphics, the AMD Display Library's module, all in the system folder;
// the process's own module is the machine's host executable.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sim/adl_model.h"
#include "sim/display_model.h"
#include "sim/error_codes.h"
#include "sim/machine.h"
#include "sim/wide_text.h"

namespace {

constexpr std::wstring_view kSystemDirectory = L"C:\\Windows\\System32";
struct DisplayLibrary {
    std::wstring_view name;
    sim::SystemLibrary library;
};
constexpr DisplayLibrary kDisplayLibraries[] = {
    {L"gdi32.dll", sim::SystemLibrary::Gdi32},
    {L"dxva2.dll", sim::SystemLibrary::Dxva2},
    {L"mscms.dll", sim::SystemLibrary::Mscms},
};

// LoadLibraryExW's flags as Windows numbers them. The machine models a load
// from the system folder only, and a load with no flag, which finds every
// module it has the same way, as they all live there.
constexpr DWORD kLoadWithAlteredSearchPath = 0x00000008;
constexpr DWORD kSearchDllLoadDir = 0x00000100;
constexpr DWORD kSearchApplicationDir = 0x00000200;
constexpr DWORD kSearchUserDirs = 0x00000400;
constexpr DWORD kSearchSystem32 = 0x00000800;
constexpr DWORD kSearchDefaultDirs = 0x00001000;
constexpr DWORD kAnySearchFlag = kSearchDllLoadDir | kSearchApplicationDir | kSearchUserDirs |
                                 kSearchSystem32 | kSearchDefaultDirs;
static_assert(kSearchSystem32 == LOAD_LIBRARY_SEARCH_SYSTEM32);

// Names below 0x10000 are ordinals, which the model's modules do not export.
constexpr std::uintptr_t kOrdinalLimit = 0x10000;

std::wstring InSystemDirectory(std::wstring_view module) {
    return std::wstring(kSystemDirectory) + L"\\" + std::wstring(module);
}

// The module's bare name, or its full path in the system directory.
bool NamesSystemModule(std::wstring_view fileName, std::wstring_view module) {
    return sim::EqualsIgnoringCase(fileName, module) ||
           sim::EqualsIgnoringCase(fileName, InSystemDirectory(module));
}

bool NamesAdl(const sim::AdlModel& adl, std::wstring_view fileName) {
    const std::wstring module = adl.ModuleName();
    return !module.empty() && NamesSystemModule(fileName, module);
}

FARPROC AdlEntryPoint(const sim::AdlModel& adl, const std::string& name) {
    return adl.ExportsEntryPoint(name) ? sim::AdlExport(name) : nullptr;
}

FARPROC DisplayLibraryExport(sim::SystemLibrary library, const std::string& name) {
    switch (library) {
        case sim::SystemLibrary::Gdi32:
            return sim::Gdi32Export(name);
        case sim::SystemLibrary::Dxva2:
            return sim::Dxva2Export(name);
        case sim::SystemLibrary::Mscms:
            return sim::MscmsExport(name);
    }
    return nullptr;
}

bool IsFullPath(std::wstring_view fileName) {
    return fileName.size() > 2 && fileName[1] == L':' && fileName[2] == L'\\';
}

// What LoadLibraryExW's documentation refuses: a file handle (reserved, it
// must be NULL), the altered search path together with a search flag, and a
// load directory search for a name that is not a full path. Flags the library
// never passes are not modelled.
std::optional<DWORD> LoadRefusal(std::wstring_view fileName, HANDLE file, DWORD flags) {
    if (file != nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if ((flags & kLoadWithAlteredSearchPath) != 0 && (flags & kAnySearchFlag) != 0) {
        return ERROR_INVALID_PARAMETER;
    }
    if ((flags & kSearchDllLoadDir) != 0 && !IsFullPath(fileName)) {
        return ERROR_INVALID_PARAMETER;
    }
    if (flags != 0 && flags != kSearchSystem32) {
        return sim::kErrorNotSupported;
    }
    return std::nullopt;
}

// A bare name is looked for in the system folder, a full path only where it
// points; either way only the machine's system modules are found.
HMODULE LoadMachineModule(sim::Machine& machine, std::wstring_view fileName) {
    for (const auto& display : kDisplayLibraries) {
        if (NamesSystemModule(fileName, display.name)) {
            return machine.Displays().LoadSystemLibrary(display.library);
        }
    }
    if (NamesAdl(machine.Adl(), fileName)) {
        return machine.Adl().LoadModule();
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

bool IsOrdinal(LPCSTR procName) {
    return reinterpret_cast<std::uintptr_t>(procName) < kOrdinalLimit;
}

std::optional<std::wstring> ModuleFileName(sim::Machine& machine, HMODULE module) {
    if (module == nullptr) {
        return machine.HostExecutable();
    }
    if (const auto library = machine.Displays().LoadedSystemLibrary(module)) {
        for (const auto& display : kDisplayLibraries) {
            if (display.library == *library) {
                return InSystemDirectory(display.name);
            }
        }
    }
    if (machine.Adl().IsLoadedModule(module)) {
        return InSystemDirectory(machine.Adl().ModuleName());
    }
    return std::nullopt;
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
    return LoadMachineModule(machine, fileName);
}

HMODULE WINAPI LoadLibraryExW(LPCWSTR fileName, HANDLE file, DWORD flags) {
    auto& machine = sim::Machine::Current();
    if (const auto error = machine.TakeFailure("LoadLibraryExW")) {
        SetLastError(*error);
        return nullptr;
    }
    if (fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (const auto refusal = LoadRefusal(fileName, file, flags)) {
        SetLastError(*refusal);
        return nullptr;
    }
    return LoadMachineModule(machine, fileName);
}

// "GetProcAddress" fails the next lookup whatever its name;
// "GetProcAddress:<name>" fails only lookups of that entry point.
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    auto& machine = sim::Machine::Current();
    const auto displayLibrary = machine.Displays().LoadedSystemLibrary(module);
    if (!displayLibrary && !machine.Adl().IsLoadedModule(module)) {
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
    const FARPROC address = displayLibrary ? DisplayLibraryExport(*displayLibrary, name)
                                           : AdlEntryPoint(machine.Adl(), name);
    if (address == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
    }
    return address;
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    auto& machine = sim::Machine::Current();
    if (!machine.Displays().FreeSystemLibrary(module) && !machine.Adl().FreeModule(module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

// The characters copied without the terminating zero; a buffer that is too
// small gets the path cut to size - 1 characters and the zero, the result is
// `size` and the last error ERROR_INSUFFICIENT_BUFFER, as from Windows Vista on.
DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
    auto& machine = sim::Machine::Current();
    if (const auto error = machine.TakeFailure("GetModuleFileNameW")) {
        SetLastError(*error);
        return 0;
    }
    const auto path = ModuleFileName(machine, module);
    if (!path) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (fileName == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::size_t copied = std::min<std::size_t>(path->size(), size - 1);
    std::copy_n(path->begin(), copied, fileName);
    fileName[copied] = L'\0';
    if (copied < path->size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    return static_cast<DWORD>(copied);
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
