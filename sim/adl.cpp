// The AMD Display Library: the entry points the simulated atiadlxx.dll hands
// out through GetProcAddress, answering from the machine's ADL part with
// ADL's own result codes. A call named in Machine::FailCall returns the
// injected error code as its result.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <type_traits>

#include "platform/adl_types.h"
#include "sim/adl_model.h"
#include "sim/far_proc.h"
#include "sim/machine.h"
#include "sim/machine_clock.h"

namespace {

constexpr int kAmdVendorId = 0x1002;

// Code of a freed module cannot run: on Windows such a call crashes, so here
// it ends the process with the reason.
sim::AdlModel& LoadedAdl(const char* call) {
    auto& adl = sim::Machine::Current().Adl();
    if (!adl.ModuleLoaded()) {
        std::fprintf(stderr, "simulated machine: %s called while the ADL module is not loaded\n",
                     call);
        std::abort();
    }
    return adl;
}

std::optional<int> InjectedResult(const char* call) {
    if (const auto error = sim::Machine::Current().TakeFailure(call)) {
        return static_cast<int>(*error);
    }
    return std::nullopt;
}

// What every call but the context's own answers first: an injected result,
// or the refusal of a caller that has not created the context.
std::optional<int> Refusal(const sim::AdlModel& adl, const char* call) {
    if (const auto injected = InjectedResult(call)) {
        return injected;
    }
    if (adl.LiveContexts() == 0) {
        return adl::kErrNotInit;
    }
    return std::nullopt;
}

std::optional<int> UnknownDisplay(const sim::AdlModel& adl, int adapter, int display) {
    if (!adl.HasAdapter(adapter)) {
        return adl::kErrInvalidAdapterIndex;
    }
    if (!adl.FindDisplay(adapter, display)) {
        return adl::kErrInvalidDisplayIndex;
    }
    return std::nullopt;
}

template <std::size_t Size>
void CopyText(char (&field)[Size], const std::string& text) {
    const std::size_t length = std::min(text.size(), Size - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

adl::AdapterInfo AdapterRecord(const sim::AdlAdapter& adapter) {
    adl::AdapterInfo record{};
    record.size = sizeof record;
    record.adapterIndex = adapter.index;
    record.vendorId = kAmdVendorId;
    record.present = 1;
    record.exist = 1;
    CopyText(record.adapterName, adapter.name);
    return record;
}

adl::DisplayInfo DisplayRecord(const sim::AdlDisplay& display) {
    adl::DisplayInfo record{};
    record.displayId = {display.logicalDisplayIndex, display.logicalDisplayIndex,
                        display.logicalAdapterIndex, display.logicalAdapterIndex};
    record.infoMask = display.infoValue;
    record.infoValue = display.infoValue;
    CopyText(record.displayName, display.name);
    return record;
}

bool AsksForCustomWhitePoint(const adl::GamutData& gamut) {
    return (gamut.feature & adl::kFeatureCustomWhitePoint) != 0;
}

int WINAPI SimMainControlCreate(adl::MallocCallback allocate, int) {
    auto& adl = LoadedAdl("ADL_Main_Control_Create");
    if (const auto injected = InjectedResult("ADL_Main_Control_Create")) {
        return *injected;
    }
    if (allocate == nullptr) {
        return adl::kErrInvalidCallback;
    }
    return adl.CreateContext(allocate);
}

int WINAPI SimMainControlDestroy() {
    auto& adl = LoadedAdl("ADL_Main_Control_Destroy");
    if (const auto injected = InjectedResult("ADL_Main_Control_Destroy")) {
        return *injected;
    }
    adl.DestroyContext();
    return adl::kOk;
}

int WINAPI SimNumberOfAdaptersGet(int* count) {
    constexpr const char* kCall = "ADL_Adapter_NumberOfAdapters_Get";
    const auto& adl = LoadedAdl(kCall);
    if (const auto refused = Refusal(adl, kCall)) {
        return *refused;
    }
    if (count == nullptr) {
        return adl::kErrNullPointer;
    }
    *count = static_cast<int>(adl.Adapters().size());
    return adl::kOk;
}

int WINAPI SimAdapterInfoGet(adl::AdapterInfo* info, int inputSize) {
    constexpr const char* kCall = "ADL_Adapter_AdapterInfo_Get";
    const auto& adl = LoadedAdl(kCall);
    if (const auto refused = Refusal(adl, kCall)) {
        return *refused;
    }
    if (info == nullptr) {
        return adl::kErrNullPointer;
    }
    const auto adapters = adl.Adapters();
    if (inputSize < 0 ||
        static_cast<std::size_t>(inputSize) < adapters.size() * sizeof(adl::AdapterInfo)) {
        return adl::kErrInvalidParamSize;
    }
    std::transform(adapters.begin(), adapters.end(), info, AdapterRecord);
    return adl::kOk;
}

// ADL allocates the list through the caller's callback; the caller hands in
// an empty pointer and frees what it gets back.
int WINAPI SimDisplayInfoGet(int adapterIndex, int* count, adl::DisplayInfo** info, int) {
    constexpr const char* kCall = "ADL_Display_DisplayInfo_Get";
    const auto& adl = LoadedAdl(kCall);
    if (const auto refused = Refusal(adl, kCall)) {
        return *refused;
    }
    if (count == nullptr || info == nullptr) {
        return adl::kErrNullPointer;
    }
    if (*info != nullptr) {
        return adl::kErrInvalidParam;
    }
    if (!adl.HasAdapter(adapterIndex)) {
        return adl::kErrInvalidAdapterIndex;
    }
    const auto displays = adl.DisplaysListedBy(adapterIndex);
    *count = 0;
    if (displays.empty()) {
        return adl::kOk;
    }
    void* block = adl.Allocator()(static_cast<int>(displays.size() * sizeof(adl::DisplayInfo)));
    if (block == nullptr) {
        return adl::kErr;
    }
    auto* records = static_cast<adl::DisplayInfo*>(block);
    for (std::size_t i = 0; i < displays.size(); ++i) {
        const adl::DisplayInfo record = DisplayRecord(displays[i]);
        std::memcpy(records + i, &record, sizeof record);
    }
    *info = records;
    *count = static_cast<int>(displays.size());
    return adl::kOk;
}

int WINAPI SimGamutCaps(int adapter, int display, adl::GamutReference, adl::GamutInfo* caps) {
    constexpr const char* kCall = "ADL_Display_Gamut_Caps";
    const auto& adl = LoadedAdl(kCall);
    if (const auto refused = Refusal(adl, kCall)) {
        return *refused;
    }
    if (caps == nullptr) {
        return adl::kErrNullPointer;
    }
    if (const auto unknown = UnknownDisplay(adl, adapter, display)) {
        return *unknown;
    }
    *caps = adl.FindDisplay(adapter, display)->caps;
    return adl::kOk;
}

int WINAPI SimGamutGet(int adapter, int display, adl::GamutReference reference,
                       adl::GamutData* gamut) {
    constexpr const char* kCall = "ADL_Display_Gamut_Get";
    const auto& adl = LoadedAdl(kCall);
    if (const auto refused = Refusal(adl, kCall)) {
        return *refused;
    }
    if (gamut == nullptr) {
        return adl::kErrNullPointer;
    }
    if (const auto unknown = UnknownDisplay(adl, adapter, display)) {
        return *unknown;
    }
    *gamut = *adl.CurrentGamut(adapter, display, reference.gamutRef);
    return adl::kOk;
}

int GamutSetResult(const sim::AdlModel& adl, int adapter, int display,
                   const adl::GamutData& gamut) {
    if (const auto refused = Refusal(adl, "ADL_Display_Gamut_Set")) {
        return *refused;
    }
    if (const auto unknown = UnknownDisplay(adl, adapter, display)) {
        return *unknown;
    }
    const auto caps = adl.FindDisplay(adapter, display)->caps;
    if (AsksForCustomWhitePoint(gamut) &&
        (caps.supportedWhitePoint & adl::kWhitePointCustom) == 0) {
        return adl::kErrNotSupported;
    }
    return adl::kOk;
}

int WINAPI SimGamutSet(int adapter, int display, adl::GamutReference reference,
                       const adl::GamutData* gamut) {
    auto& adl = LoadedAdl("ADL_Display_Gamut_Set");
    if (gamut == nullptr) {
        return adl::kErrNullPointer;
    }
    const int result = GamutSetResult(adl, adapter, display, *gamut);
    adl.RecordGamutSet({adapter, display, reference.gamutRef, *gamut, result,
                        sim::Machine::Current().Clock().Now()});
    return result;
}

// The machine's displays offer none of ADL's colour controls or regamma
// coefficients; the calls answer as a driver without them does.
int WINAPI SimColorCapsGet(int adapter, int display, int* caps, int* valids) {
    constexpr const char* kCall = "ADL_Display_ColorCaps_Get";
    const auto& adl = LoadedAdl(kCall);
    if (const auto refused = Refusal(adl, kCall)) {
        return *refused;
    }
    if (caps == nullptr || valids == nullptr) {
        return adl::kErrNullPointer;
    }
    if (const auto unknown = UnknownDisplay(adl, adapter, display)) {
        return *unknown;
    }
    *caps = 0;
    *valids = 0;
    return adl::kOk;
}

int Unsupported(const char* call) {
    const auto& adl = LoadedAdl(call);
    return Refusal(adl, call).value_or(adl::kErrNotSupported);
}

int WINAPI SimColorGet(int, int, int, int*, int*, int*, int*, int*) {
    return Unsupported("ADL_Display_Color_Get");
}

int WINAPI SimColorSet(int, int, int, int) {
    return Unsupported("ADL_Display_Color_Set");
}

int WINAPI SimRegammaR1Get(int, int, adl::RegammaCoefficients*) {
    return Unsupported("ADL_Display_RegammaR1_Get");
}

int WINAPI SimRegammaR1Set(int, int, adl::RegammaCoefficients*) {
    return Unsupported("ADL_Display_RegammaR1_Set");
}

// The library calls these through its own entry point types: they must agree.
template <typename EntryPoint, typename Function>
FARPROC CheckedEntryPoint(Function* function) {
    static_assert(std::is_same_v<Function*, EntryPoint>);
    return sim::AsFarProc(function);
}

}  // namespace

namespace sim {

FARPROC AdlExport(std::string_view name) {
    static const sim::NamedEntryPoint kEntryPoints[] = {
        {"ADL_Main_Control_Create",
         CheckedEntryPoint<adl::MainControlCreate>(&SimMainControlCreate)},
        {"ADL_Main_Control_Destroy",
         CheckedEntryPoint<adl::MainControlDestroy>(&SimMainControlDestroy)},
        {"ADL_Adapter_NumberOfAdapters_Get",
         CheckedEntryPoint<adl::AdapterNumberOfAdaptersGet>(&SimNumberOfAdaptersGet)},
        {"ADL_Adapter_AdapterInfo_Get",
         CheckedEntryPoint<adl::AdapterAdapterInfoGet>(&SimAdapterInfoGet)},
        {"ADL_Display_ColorCaps_Get",
         CheckedEntryPoint<adl::DisplayColorCapsGet>(&SimColorCapsGet)},
        {"ADL_Display_Color_Get", CheckedEntryPoint<adl::DisplayColorGet>(&SimColorGet)},
        {"ADL_Display_Color_Set", CheckedEntryPoint<adl::DisplayColorSet>(&SimColorSet)},
        {"ADL_Display_DisplayInfo_Get",
         CheckedEntryPoint<adl::DisplayDisplayInfoGet>(&SimDisplayInfoGet)},
        {"ADL_Display_Gamut_Set", CheckedEntryPoint<adl::DisplayGamutSet>(&SimGamutSet)},
        {"ADL_Display_Gamut_Get", CheckedEntryPoint<adl::DisplayGamutGet>(&SimGamutGet)},
        {"ADL_Display_Gamut_Caps", CheckedEntryPoint<adl::DisplayGamutCaps>(&SimGamutCaps)},
        {"ADL_Display_RegammaR1_Get",
         CheckedEntryPoint<adl::DisplayRegammaR1Get>(&SimRegammaR1Get)},
        {"ADL_Display_RegammaR1_Set",
         CheckedEntryPoint<adl::DisplayRegammaR1Set>(&SimRegammaR1Set)},
    };
    return FindEntryPoint(kEntryPoints, name);
}

}  // namespace sim
