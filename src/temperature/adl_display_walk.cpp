#include "temperature/adl_display_walk.h"

#include <cstdlib>
#include <limits>
#include <memory>

#include "log/debug_line.h"

namespace {

// ADL's records live in C runtime blocks: the adapter records because the
// walk allocates them so, the display records because ADL allocates them
// through the memory callback.
struct FreeWithCRuntime {
    void operator()(void* block) const { std::free(block); }
};
template <typename Record>
using RecordBlock = std::unique_ptr<Record[], FreeWithCRuntime>;

constexpr int kAdapterRecordSize = sizeof(adl::AdapterInfo);
// ADL detects displays itself only when asked to; the walk takes what it knows.
constexpr int kNoForcedDetection = 0;

// Zeroed records for `count` adapters; nothing when their size does not fit
// ADL's size argument or memory runs out.
RecordBlock<adl::AdapterInfo> AllocateAdapterRecords(int count) {
    if (count > std::numeric_limits<int>::max() / kAdapterRecordSize) {
        return nullptr;
    }
    return RecordBlock<adl::AdapterInfo>(
        static_cast<adl::AdapterInfo*>(std::calloc(count, sizeof(adl::AdapterInfo))));
}

bool IsServed(const adl::DisplayInfo& display, int adapterIndex) {
    return (display.infoValue & adl::kDisplayInfoMapped) != 0 &&
           display.displayId.logicalAdapterIndex == adapterIndex;
}

void WalkAdapterDisplays(const AdlEntryPoints& api, int adapterIndex,
                         const AmdDisplayAction& action) {
    int count = 0;
    adl::DisplayInfo* records = nullptr;
    const int result =
        api.ADL_Display_DisplayInfo_Get(adapterIndex, &count, &records, kNoForcedDetection);
    const RecordBlock<adl::DisplayInfo> displays(records);
    if (result != adl::kOk || !displays) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        if (IsServed(displays[i], adapterIndex)) {
            action(adapterIndex, displays[i].displayId.logicalIndex);
        }
    }
}

}  // namespace

bool ForEachAmdDisplay(const AdlLibrary::Use& adl, const char* caller,
                       const AmdDisplayAction& action) {
    if (!adl) {
        return false;
    }
    const AdlEntryPoints& api = adl.EntryPoints();
    int count = 0;
    if (api.ADL_Adapter_NumberOfAdapters_Get(&count) != adl::kOk) {
        DebugTrace(caller) << L"Cannot get the number of adapters!\n";
        return false;
    }
    if (count <= 0) {
        DebugTrace(caller) << L"AdapterInfo Get fail!\n";
        return false;
    }
    const RecordBlock<adl::AdapterInfo> adapters = AllocateAdapterRecords(count);
    if (!adapters) {
        return false;
    }
    // Zeroed records of a failed call would all name adapter 0.
    if (api.ADL_Adapter_AdapterInfo_Get(adapters.get(), count * kAdapterRecordSize) != adl::kOk) {
        DebugTrace(caller) << L"AdapterInfo Get fail!\n";
        return false;
    }
    for (int i = 0; i < count; ++i) {
        WalkAdapterDisplays(api, adapters[i].adapterIndex, action);
    }
    return true;
}
