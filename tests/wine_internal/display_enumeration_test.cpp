// The detection code linked directly against Wine's real display functions:
// Wine's virtual display has realistic adapter and monitor device ids, which
// the exported answers alone do not show.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discovery/display_detection.h"
#include "temperature/intel_driver_manager.h"
#include "temperature/operate_color.h"

namespace {

std::vector<std::wstring> MonitorIdsOfAttachedAdapters() {
    std::vector<std::wstring> ids;
    DISPLAY_DEVICEW adapter{};
    adapter.cb = sizeof adapter;
    for (DWORD i = 0; EnumDisplayDevicesW(nullptr, i, &adapter, 0); ++i) {
        DISPLAY_DEVICEW monitor{};
        monitor.cb = sizeof monitor;
        for (DWORD j = 0; EnumDisplayDevicesW(adapter.DeviceName, j, &monitor, 0); ++j) {
            if ((monitor.StateFlags & (DISPLAY_DEVICE_ACTIVE | DISPLAY_DEVICE_ATTACHED)) ==
                (DISPLAY_DEVICE_ACTIVE | DISPLAY_DEVICE_ATTACHED)) {
                ids.emplace_back(monitor.DeviceID);
            }
        }
    }
    return ids;
}

}  // namespace

TEST(WineDisplays, MainAdapterIsAPrimaryDisplayDevice) {
    const std::wstring name =
        discovery::GetMainActiveDeviceName("OperateColor::GetMainActiveDeviceName");
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(name.rfind(L"\\\\.\\DISPLAY", 0), 0u);
    EXPECT_EQ(IntelDriverManager::Instance().GetMainActiveDeviceName(), name);
    EXPECT_EQ(OperateColor::Instance().GetMainActiveDeviceName(), name);
}

TEST(WineDisplays, RecordListHasOneCodePerActiveMonitor) {
    std::vector<DisplayDeviceRecord> records;
    discovery::BuildDisplayDeviceList(records);
    const auto ids = MonitorIdsOfAttachedAdapters();
    ASSERT_FALSE(ids.empty());
    ASSERT_EQ(records.size(), ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const std::wstring& id = ids[i];
        const auto first = id.find(L'\\');
        const auto second = id.find(L'\\', first + 1);
        std::wstring code = id.substr(first + 1, std::min<std::size_t>(second - first - 1, 7));
        code.resize(8, L'\0');
        EXPECT_EQ(records[i].monitorCode, code);
        EXPECT_EQ(records[i].deviceName.rfind(L"\\\\.\\DISPLAY", 0), 0u);
    }
}

TEST(WineDisplays, FirstAdapterIsTheOneAskedForColourTables) {
    EXPECT_FALSE(discovery::FirstAdapterName().empty());
}
