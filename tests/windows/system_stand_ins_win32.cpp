#include "system_stand_ins_win32.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "colour_association_stand_in_win32.h"
#include "import_patch_win32.h"
#include "monitor_configuration_stand_in_win32.h"

namespace tw_test {

namespace {

// Names below 0x10000 are ordinals, which no stand-in answers.
constexpr std::uintptr_t kOrdinalLimit = 0x10000;

bool IsModule(HMODULE module, const wchar_t* name) {
    const HMODULE loaded = GetModuleHandleW(name);
    return loaded != nullptr && loaded == module;
}

FARPROC StandIn(HMODULE module, LPCSTR name) {
    if (reinterpret_cast<std::uintptr_t>(name) < kOrdinalLimit) {
        return nullptr;
    }
    if (IsModule(module, L"mscms.dll")) {
        return ColourAssociationStandIn::EntryPoint(name);
    }
    if (IsModule(module, L"dxva2.dll")) {
        return MonitorConfigurationStandIn::EntryPoint(name);
    }
    return nullptr;
}

FARPROC WINAPI FilteredGetProcAddress(HMODULE module, LPCSTR name) {
    if (const FARPROC standIn = StandIn(module, name)) {
        return standIn;
    }
    return ::GetProcAddress(module, name);
}

bool InstallSystemStandIns(HMODULE library) {
    const bool lookups = ReplaceImport(library, "kernel32.dll", "GetProcAddress",
                                       reinterpret_cast<const void*>(&FilteredGetProcAddress));
    const bool displays = ReplaceImport(
        library, "user32.dll", "EnumDisplayDevicesW",
        reinterpret_cast<const void*>(&MonitorConfigurationStandIn::EnumDisplayDevices));
    return lookups && displays;
}

}  // namespace

HMODULE LoadTintwellWithStandIns() {
    const HMODULE library = LoadLibraryW(L"TintwellDll.dll");
    if (library == nullptr || InstallSystemStandIns(library)) {
        return library;
    }
    ADD_FAILURE() << "the DLL's imports of GetProcAddress and EnumDisplayDevicesW were not found";
    FreeLibrary(library);
    return nullptr;
}

}  // namespace tw_test
