// The detection exports that work on their own rather than through the
// colour operator: the graphics vendor and the count of physical monitors.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "discovery/display_detection.h"
#include "discovery/display_type.h"
#include "tintwell/tintwell.h"

namespace {

// Adapters of virtual displays, which drive no physical monitor.
constexpr const wchar_t* kVirtualDisplayDrivers[] = {L"IndirectDSP\\VirtualDisplayDriver",
                                                     L"root\\VirtualDisplayDriver"};
// The maker's own monitor, which is not counted as a physical monitor.
constexpr const wchar_t* kUncountedMonitor = L"MONITOR\\ORV2016";

bool IsVirtualDisplayAdapter(const DISPLAY_DEVICEW& adapter) {
    return std::any_of(
        std::begin(kVirtualDisplayDrivers), std::end(kVirtualDisplayDrivers),
        [&](const wchar_t* driver) { return driver == std::wstring(adapter.DeviceID); });
}

}  // namespace

int GetDisplayType() {
    return discovery::GetDisplayType();
}

int GetPhyMonitorCount() {
    int count = 0;
    for (const auto& adapter : discovery::DisplayAdapters()) {
        if (IsVirtualDisplayAdapter(adapter)) {
            continue;
        }
        for (const auto& monitor : discovery::AdapterMonitors(adapter)) {
            if (std::wstring_view(monitor.DeviceID).find(kUncountedMonitor) ==
                std::wstring_view::npos) {
                ++count;
            }
        }
    }
    return count;
}
