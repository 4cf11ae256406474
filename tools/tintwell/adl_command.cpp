#include <windows.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "adl_command.h"
#include "json_text.h"
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

struct DisplayReport {
    adl::DisplayId id{};
    std::string name;
    int infoValue = 0;
    // What the AMD colour temperature road changes.
    bool served = false;
    int capsResult = adl::kOk;
    adl::GamutInfo caps{};

    bool CustomWhitePoint() const {
        return (caps.supportedGamutSpace & adl::kGamutSpaceCieRgb) != 0 &&
               (caps.supportedWhitePoint & adl::kWhitePointCustom) != 0;
    }
};

struct AdapterReport {
    int index = 0;
    std::string name;
    int listResult = adl::kOk;
    std::vector<DisplayReport> displays;
};

DisplayReport Describe(const AdlCalls& calls, int adapterIndex, const adl::DisplayInfo& display) {
    DisplayReport report;
    report.id = display.displayId;
    report.name = display.displayName;
    report.infoValue = display.infoValue;
    report.served = (display.infoValue & adl::kDisplayInfoMapped) != 0 &&
                    report.id.logicalAdapterIndex == adapterIndex;
    report.capsResult = calls.gamutCaps(report.id.logicalAdapterIndex, report.id.logicalIndex,
                                        kDestinationGamut, &report.caps);
    return report;
}

AdapterReport Describe(const AdlCalls& calls, const adl::AdapterInfo& adapter) {
    AdapterReport report;
    report.index = adapter.adapterIndex;
    report.name = adapter.adapterName;
    int count = 0;
    adl::DisplayInfo* records = nullptr;
    report.listResult = calls.displayInfo(adapter.adapterIndex, &count, &records, 0);
    const DisplayRecords displays(records);
    if (report.listResult != adl::kOk || !displays) {
        return report;
    }
    for (int i = 0; i < count; ++i) {
        report.displays.push_back(Describe(calls, adapter.adapterIndex, displays[i]));
    }
    return report;
}

void PrintText(const std::vector<AdapterReport>& adapters, std::ostream& out) {
    if (adapters.empty()) {
        out << "no AMD adapters\n";
    }
    for (const AdapterReport& adapter : adapters) {
        out << "adapter " << adapter.index << ": " << adapter.name << "\n";
        if (adapter.listResult != adl::kOk) {
            out << "  no displays listed (ADL result " << adapter.listResult << ")\n";
        }
        for (const DisplayReport& display : adapter.displays) {
            out << "  display " << display.id.logicalIndex << " of adapter "
                << display.id.logicalAdapterIndex << " (" << display.name << "): info value "
                << display.infoValue << ", served: " << YesNo(display.served) << "\n";
            if (display.capsResult != adl::kOk) {
                out << "    gamut capabilities unavailable (ADL result " << display.capsResult
                    << ")\n";
                continue;
            }
            out << "    gamut spaces " << display.caps.supportedGamutSpace << ", white points "
                << display.caps.supportedWhitePoint
                << ", custom white point on CIE RGB: " << YesNo(display.CustomWhitePoint()) << "\n";
        }
    }
}

void PrintJson(const std::vector<AdapterReport>& adapters, std::ostream& out) {
    out << R"({"adapters": [)";
    for (std::size_t a = 0; a < adapters.size(); ++a) {
        const AdapterReport& adapter = adapters[a];
        out << (a == 0 ? "" : ", ") << R"({"index": )" << adapter.index << R"(, "name": ")"
            << Escaped(adapter.name) << R"(", "listResult": )" << adapter.listResult
            << R"(, "displays": [)";
        for (std::size_t d = 0; d < adapter.displays.size(); ++d) {
            const DisplayReport& display = adapter.displays[d];
            out << (d == 0 ? "" : ", ") << R"({"index": )" << display.id.logicalIndex
                << R"(, "adapter": )" << display.id.logicalAdapterIndex << R"(, "name": ")"
                << Escaped(display.name) << R"(", "infoValue": )" << display.infoValue
                << R"(, "served": )" << JsonBool(display.served) << R"(, "gamut": )";
            if (display.capsResult != adl::kOk) {
                out << "null}";
                continue;
            }
            out << R"({"spaces": )" << display.caps.supportedGamutSpace << R"(, "whitePoints": )"
                << display.caps.supportedWhitePoint << R"(, "customWhitePoint": )"
                << JsonBool(display.CustomWhitePoint()) << "}}";
        }
        out << "]}";
    }
    out << "]}\n";
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

int ListAdl(bool json, std::ostream& out, std::ostream& err) {
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
    std::vector<AdapterReport> adapters;
    if (count > 0) {
        const auto records = AdapterRecords(calls, count);
        if (!records) {
            err << "ADL cannot describe its adapters\n";
            return kExitLibraryFailure;
        }
        for (const auto& adapter : *records) {
            adapters.push_back(Describe(calls, adapter));
        }
    }
    if (json) {
        PrintJson(adapters, out);
    } else {
        PrintText(adapters, out);
    }
    return kExitSuccess;
}

}  // namespace tintwell_cli
