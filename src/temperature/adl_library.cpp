#include "temperature/adl_library.h"

#include <cstdlib>
#include <string>

#include "log/debug_line.h"

namespace {

constexpr const char* kLoadSource = "OperateColor::InitAdlGamut";

UniqueModule LoadAdlModule(const std::wstring& systemDirectory) {
    for (const wchar_t* name : adl::kModules) {
        UniqueModule module(LoadLibraryW((systemDirectory + name).c_str()));
        if (module) {
            return module;
        }
    }
    return nullptr;
}

}  // namespace

// Runs at library unload, inside the loader's notification: ADL may not be
// called there, nor its module freed, and at process exit ADL has usually
// been detached already. UninitAdlGamut is where ADL is released; what a
// caller left initialised holds the library, so this runs with ADL still
// initialised only when the process ends, and leaves it to the process.
AdlLibrary::~AdlLibrary() {
    static_cast<void>(adlModule_.release());
    holdsLibrary_.Abandon();
}

AdlLibrary::Use AdlLibrary::Acquire() const {
    std::shared_lock hold(mutex_);
    if (!adlReady_) {
        return Use({}, nullptr);
    }
    return Use(std::move(hold), &entryPoints_);
}

void* WINAPI AdlLibrary::Allocate(int size) {
    if (size < 1) {
        return nullptr;
    }
    return std::malloc(static_cast<std::size_t>(size));
}

void AdlLibrary::Load() {
    const std::lock_guard exclusive(mutex_);
    Release();
    const auto directory = SystemDirectory();
    if (!directory) {
        DebugTrace(kLoadSource) << L"GetSystemDirectoryW execute failed.";
        return;
    }
    adlModule_ = LoadAdlModule(*directory);
    if (!adlModule_) {
        DebugTrace(kLoadSource) << L"ADL library not found!\n";
        return;
    }
    if (!ResolveEntryPoints()) {
        DebugTrace(kLoadSource) << L"ADL's API is missing!\n";
        return;
    }
    holdsLibrary_ = platform::ModuleReference::Take();
    if (entryPoints_.ADL_Main_Control_Create(&AdlLibrary::Allocate, adl::kEnumConnectedAdapters) !=
        adl::kOk) {
        holdsLibrary_.Reset();
        DebugTrace(kLoadSource) << L"ADL Initialization Error!\n";
        return;
    }
    adlReady_ = true;
}

void AdlLibrary::Unload() {
    const std::lock_guard exclusive(mutex_);
    if (adlReady_) {
        Release();
    }
}

// The context goes before the module that holds its code; the library's
// own hold goes last, on the caller's thread, which holds the library too.
void AdlLibrary::Release() {
    if (adlReady_) {
        adlReady_ = false;
        entryPoints_.ADL_Main_Control_Destroy();
    }
    entryPoints_ = AdlEntryPoints{};
    adlModule_.reset();
    holdsLibrary_.Reset();
}

bool AdlLibrary::ResolveEntryPoints() {
    const HMODULE module = adlModule_.get();
    AdlEntryPoints& e = entryPoints_;
    const bool resolved =
        ResolveEntryPoint(module, "ADL_Main_Control_Create", e.ADL_Main_Control_Create) &&
        ResolveEntryPoint(module, "ADL_Main_Control_Destroy", e.ADL_Main_Control_Destroy) &&
        ResolveEntryPoint(module, "ADL_Adapter_NumberOfAdapters_Get",
                          e.ADL_Adapter_NumberOfAdapters_Get) &&
        ResolveEntryPoint(module, "ADL_Adapter_AdapterInfo_Get", e.ADL_Adapter_AdapterInfo_Get) &&
        ResolveEntryPoint(module, "ADL_Display_ColorCaps_Get", e.ADL_Display_ColorCaps_Get) &&
        ResolveEntryPoint(module, "ADL_Display_Color_Get", e.ADL_Display_Color_Get) &&
        ResolveEntryPoint(module, "ADL_Display_Color_Set", e.ADL_Display_Color_Set) &&
        ResolveEntryPoint(module, "ADL_Display_DisplayInfo_Get", e.ADL_Display_DisplayInfo_Get) &&
        ResolveEntryPoint(module, "ADL_Display_Gamut_Set", e.ADL_Display_Gamut_Set) &&
        ResolveEntryPoint(module, "ADL_Display_Gamut_Get", e.ADL_Display_Gamut_Get) &&
        ResolveEntryPoint(module, "ADL_Display_Gamut_Caps", e.ADL_Display_Gamut_Caps) &&
        ResolveEntryPoint(module, "ADL_Display_RegammaR1_Get", e.ADL_Display_RegammaR1_Get) &&
        ResolveEntryPoint(module, "ADL_Display_RegammaR1_Set", e.ADL_Display_RegammaR1_Set);
    if (!resolved) {
        e = AdlEntryPoints{};
    }
    return resolved;
}
