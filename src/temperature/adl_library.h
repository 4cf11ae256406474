// The AMD Display Library, loaded at run time from the system directory:
// the module, the thirteen entry points the library relies on, and whether
// ADL has been initialised through them.
#pragma once

#include <windows.h>

#include <mutex>
#include <shared_mutex>
#include <utility>

#include "platform/adl_types.h"
#include "platform/module_reference.h"
#include "platform/system_module.h"

// Named as ADL exports them: every one is resolved and required.
struct AdlEntryPoints {
    adl::MainControlCreate ADL_Main_Control_Create = nullptr;
    adl::MainControlDestroy ADL_Main_Control_Destroy = nullptr;
    adl::AdapterNumberOfAdaptersGet ADL_Adapter_NumberOfAdapters_Get = nullptr;
    adl::AdapterAdapterInfoGet ADL_Adapter_AdapterInfo_Get = nullptr;
    adl::DisplayColorCapsGet ADL_Display_ColorCaps_Get = nullptr;
    adl::DisplayColorGet ADL_Display_Color_Get = nullptr;
    adl::DisplayColorSet ADL_Display_Color_Set = nullptr;
    adl::DisplayDisplayInfoGet ADL_Display_DisplayInfo_Get = nullptr;
    adl::DisplayGamutSet ADL_Display_Gamut_Set = nullptr;
    adl::DisplayGamutGet ADL_Display_Gamut_Get = nullptr;
    adl::DisplayGamutCaps ADL_Display_Gamut_Caps = nullptr;
    adl::DisplayRegammaR1Get ADL_Display_RegammaR1_Get = nullptr;
    adl::DisplayRegammaR1Set ADL_Display_RegammaR1_Set = nullptr;
};

class AdlLibrary {
  public:
    // A use of ADL in progress: while it lives ADL stays initialised and its
    // entry points stay callable, and a release waits for it to end. Empty
    // when ADL is not ready; take one per operation, never a second while
    // holding the first.
    class Use {
      public:
        explicit operator bool() const { return entryPoints_ != nullptr; }
        const AdlEntryPoints& EntryPoints() const { return *entryPoints_; }

      private:
        friend class AdlLibrary;
        Use(std::shared_lock<std::shared_mutex> hold, const AdlEntryPoints* entryPoints)
            : hold_(std::move(hold)), entryPoints_(entryPoints) {}

        std::shared_lock<std::shared_mutex> hold_;
        const AdlEntryPoints* entryPoints_;
    };

    AdlLibrary() = default;
    // Leaves a loaded ADL as it is: see the definition.
    ~AdlLibrary();
    AdlLibrary(const AdlLibrary&) = delete;
    AdlLibrary& operator=(const AdlLibrary&) = delete;

    // Loads the module, resolves the entry points and initialises ADL; ready
    // only when all of that worked. A repeated load first releases what the
    // previous one left. Waits for the uses in progress.
    void Load();
    // Destroys the ADL context and frees the module, when ready; waits for
    // the uses in progress.
    void Unload();

    Use Acquire() const;

    // The memory callback handed to ADL: a C runtime block, null below one byte.
    static void* WINAPI Allocate(int size);

  private:
    void Release();
    bool ResolveEntryPoints();

    mutable std::shared_mutex mutex_;
    bool adlReady_ = false;
    UniqueModule adlModule_;
    AdlEntryPoints entryPoints_;
    // ADL keeps the memory callback, which is this library's code, for as
    // long as it is initialised: the library stays loaded meanwhile, so that
    // a FreeLibrary without UninitAdlGamut cannot leave ADL calling into
    // unmapped code.
    platform::ModuleReference holdsLibrary_;
};
