// The part of the machine that holds the AMD Display Library: whether the
// system directory has its module and which entry points that exports, the
// ADL context and the memory callback it was created with, the adapters and
// displays ADL reports, each display's gamut capabilities and current gamut,
// and every gamut change that reached it.
#pragma once

#include <windows.h>

#include <chrono>

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "platform/adl_types.h"

namespace sim {

struct AdlAdapter {
    int index = 0;
    std::string name;
};

struct AdlDisplay {
    int listedBy = 0;  // the adapter whose display list holds it
    int logicalDisplayIndex = 0;
    int logicalAdapterIndex = 0;
    int infoValue = 0;  // ADL's display-info bits: 1 connected, 2 mapped, ...
    std::string name;
    adl::GamutInfo caps{};
    adl::GamutData gamut{};  // what a gamut query reports until a change
};

// One ADL_Display_Gamut_Set that handed a record, with what ADL answered.
struct AdlGamutSet {
    int adapter = 0;
    int display = 0;
    int reference = 0;
    adl::GamutData gamut{};
    int result = adl::kOk;
    std::chrono::milliseconds time{0};  // the machine clock when the call came
};

class AdlModel {
  public:
    // Reads this part of a machine description; absent keys keep defaults.
    void Load(const nlohmann::json& description);

    // The module's file name in the system directory, empty when the
    // machine has no AMD graphics.
    void SetModule(std::wstring fileName);
    std::wstring ModuleName() const;
    void RemoveEntryPoint(std::string name);
    bool ExportsEntryPoint(std::string_view name) const;

    // The module loaded at run time: one handle, counted references.
    HMODULE LoadModule();
    bool FreeModule(HMODULE module);
    bool IsLoadedModule(HMODULE module) const;
    bool ModuleLoaded() const;
    int ModuleReferences() const;
    int ModuleLoads() const;

    // The ADL context: what creating one answers, and the callback through
    // which ADL allocates the records it hands out.
    void SetCreateResult(int result);
    int CreateContext(adl::MallocCallback allocate);
    void DestroyContext();
    int LiveContexts() const;
    // The callback of the live context, null without one.
    adl::MallocCallback Allocator() const;

    void AddAdapter(AdlAdapter adapter);
    void AddDisplay(AdlDisplay display);
    std::vector<AdlAdapter> Adapters() const;
    bool HasAdapter(int index) const;
    std::vector<AdlDisplay> DisplaysListedBy(int adapter) const;
    std::optional<AdlDisplay> FindDisplay(int adapter, int display) const;

    // The gamut a display reports for a reference: the last one set, else its own.
    std::optional<adl::GamutData> CurrentGamut(int adapter, int display, int reference) const;
    void RecordGamutSet(const AdlGamutSet& call);
    std::vector<AdlGamutSet> GamutSets() const;

  private:
    using GamutKey = std::tuple<int, int, int>;  // adapter, display, reference

    mutable std::mutex mutex_;
    std::wstring moduleName_;
    std::set<std::string, std::less<>> missingEntryPoints_;
    int moduleReferences_ = 0;
    int moduleLoads_ = 0;
    int createResult_ = adl::kOk;
    int liveContexts_ = 0;
    adl::MallocCallback allocate_ = nullptr;
    std::vector<AdlAdapter> adapters_;
    std::vector<AdlDisplay> displays_;
    std::map<GamutKey, adl::GamutData> gamuts_;
    std::vector<AdlGamutSet> gamutSets_;
};

// The entry points the ADL module exports by name (defined beside the ADL
// functions); null for a name it does not export.
FARPROC AdlExport(std::string_view name);

}  // namespace sim
