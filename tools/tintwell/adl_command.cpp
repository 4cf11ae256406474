#include <windows.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "adl_command.h"
#include "platform/adl_types.h"
#include "platform/system_module.h"
#include "settings_commands.h"

namespace tintwell_cli {

namespace {

// ADL allocates the display records through this callback; they go back to
// the C runtime.
void* WINAPI Allocate(int size) {
    return size < 1 ? nullptr : std::malloc(static_cast<std::size_t>(size));
}

struct FreeWithCRuntime {
    void operator()(void* block) const { std::free(block); }
};
using DisplayRecords = std::unique_ptr<adl::DisplayInfo[], FreeWithCRuntime>;

constexpr int kAdapterRecordSize = sizeof(adl::AdapterInfo);
constexpr adl::GamutReference kDestinationGamut{0};

// The entry points the listing needs, resolved as the library resolves them.
struct AdlCalls {
    adl::MainControlCreate create = nullptr;
    adl::MainControlDestroy destroy = nullptr;
    adl::AdapterNumberOfAdaptersGet countAdapters = nullptr;
    adl::AdapterAdapterInfoGet adapterInfo = nullptr;
    adl::DisplayDisplayInfoGet displayInfo = nullptr;
    adl::DisplayGamutCaps gamutCaps = nullptr;

    bool Resolve(HMODULE module) {
        create = EntryPoint<adl::MainControlCreate>(module, "ADL_Main_Control_Create");
        destroy = EntryPoint<adl::MainControlDestroy>(module, "ADL_Main_Control_Destroy");
        countAdapters =
            EntryPoint<adl::AdapterNumberOfAdaptersGet>(module, "ADL_Adapter_NumberOfAdapters_Get");
        adapterInfo = EntryPoint<adl::AdapterAdapterInfoGet>(module, "ADL_Adapter_AdapterInfo_Get");
        displayInfo = EntryPoint<adl::DisplayDisplayInfoGet>(module, "ADL_Display_DisplayInfo_Get");
        gamutCaps = EntryPoint<adl::DisplayGamutCaps>(module, "ADL_Display_Gamut_Caps");
        return create && destroy && countAdapters && adapterInfo && displayInfo && gamutCaps;
    }
};

// The ADL context, destroyed before the module that holds its code.
class AdlContext {
  public:
    explicit AdlContext(const AdlCalls& calls)
        : calls_(calls),
          created_(calls.create(&Allocate, adl::kEnumConnectedAdapters) == adl::kOk) {}
    ~AdlContext() {
        if (created_) {
            calls_.destroy();
        }
    }
    AdlContext(const AdlContext&) = delete;
    AdlContext& operator=(const AdlContext&) = delete;

    bool Created() const { return created_; }

  private:
    const AdlCalls& calls_;
    bool created_;
};

UniqueModule LoadAdl() {
    const auto directory = SystemDirectory();
    if (!directory) {
        return nullptr;
    }
    for (const wchar_t* name : adl::kModules) {
        UniqueModule module(LoadLibraryW((*directory + name).c_str()));
        if (module) {
            return module;
        }
    }
    return nullptr;
}

const char* YesNo(bool value) {
    return value ? "yes" : "no";
}

// Served: what the AMD colour temperature road changes.
void PrintDisplay(const AdlCalls& calls, int adapterIndex, const adl::DisplayInfo& display,
                  std::ostream& out) {
    const adl::DisplayId& id = display.displayId;
    const bool served = (display.infoValue & adl::kDisplayInfoMapped) != 0 &&
                        id.logicalAdapterIndex == adapterIndex;
    out << "  display " << id.logicalIndex << " of adapter " << id.logicalAdapterIndex << " ("
        << display.displayName << "): info value " << display.infoValue
        << ", served: " << YesNo(served) << "\n";
    adl::GamutInfo caps{};
    const int result =
        calls.gamutCaps(id.logicalAdapterIndex, id.logicalIndex, kDestinationGamut, &caps);
    if (result != adl::kOk) {
        out << "    gamut capabilities unavailable (ADL result " << result << ")\n";
        return;
    }
    out << "    gamut spaces " << caps.supportedGamutSpace << ", white points "
        << caps.supportedWhitePoint << ", custom white point on CIE RGB: "
        << YesNo((caps.supportedGamutSpace & adl::kGamutSpaceCieRgb) != 0 &&
                 (caps.supportedWhitePoint & adl::kWhitePointCustom) != 0)
        << "\n";
}

void PrintAdapter(const AdlCalls& calls, const adl::AdapterInfo& adapter, std::ostream& out) {
    out << "adapter " << adapter.adapterIndex << ": " << adapter.adapterName << "\n";
    int count = 0;
    adl::DisplayInfo* records = nullptr;
    const int result = calls.displayInfo(adapter.adapterIndex, &count, &records, 0);
    const DisplayRecords displays(records);
    if (result != adl::kOk || !displays) {
        out << "  no displays listed (ADL result " << result << ")\n";
        return;
    }
    for (int i = 0; i < count; ++i) {
        PrintDisplay(calls, adapter.adapterIndex, displays[i], out);
    }
}

// Nothing when ADL refuses or the records would not fit its size argument.
std::optional<std::vector<adl::AdapterInfo>> AdapterRecords(const AdlCalls& calls, int count) {
    if (count > std::numeric_limits<int>::max() / kAdapterRecordSize) {
        return std::nullopt;
    }
    std::vector<adl::AdapterInfo> adapters(static_cast<std::size_t>(count));
    if (calls.adapterInfo(adapters.data(), count * kAdapterRecordSize) != adl::kOk) {
        return std::nullopt;
    }
    return adapters;
}

}  // namespace

int ListAdl(std::ostream& out, std::ostream& err) {
    const UniqueModule module = LoadAdl();
    if (!module) {
        err << "ADL is not found\n";
        return kExitLibraryFailure;
    }
    AdlCalls calls;
    if (!calls.Resolve(module.get())) {
        err << "ADL lacks an entry point the library needs\n";
        return kExitLibraryFailure;
    }
    const AdlContext context(calls);
    int count = 0;
    if (!context.Created() || calls.countAdapters(&count) != adl::kOk) {
        err << "ADL cannot be initialised or cannot count its adapters\n";
        return kExitLibraryFailure;
    }
    if (count <= 0) {
        out << "no AMD adapters\n";
        return kExitSuccess;
    }
    const auto adapters = AdapterRecords(calls, count);
    if (!adapters) {
        err << "ADL cannot describe its adapters\n";
        return kExitLibraryFailure;
    }
    for (const auto& adapter : *adapters) {
        PrintAdapter(calls, adapter, out);
    }
    return kExitSuccess;
}

}  // namespace tintwell_cli
