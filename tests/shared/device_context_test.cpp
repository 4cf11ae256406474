// Which device contexts CreateDCW makes for a display: Wine's real gdi32
// under Wine and the simulated machine on Linux answer the same table, so the
// model refuses what Windows and Wine refuse, a monitor's device id among them.
#include <windows.h>

#include <string>

#include "test_platform.h"

namespace tw_test {

namespace {

struct DisplayNames {
    std::wstring adapter;  // \\.\DISPLAY1
    std::wstring monitorName;
    std::wstring monitorId;  // MONITOR\...
};

DisplayNames PrimaryDisplayNames() {
    DisplayNames names;
    DISPLAY_DEVICEW adapter{};
    adapter.cb = sizeof adapter;
    for (DWORD i = 0; EnumDisplayDevicesW(nullptr, i, &adapter, 0); ++i) {
        if ((adapter.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0) {
            names.adapter = adapter.DeviceName;
            break;
        }
    }
    DISPLAY_DEVICEW monitor{};
    monitor.cb = sizeof monitor;
    if (!names.adapter.empty() && EnumDisplayDevicesW(names.adapter.c_str(), 0, &monitor, 0)) {
        names.monitorName = monitor.DeviceName;
        names.monitorId = monitor.DeviceID;
    }
    return names;
}

}  // namespace

TEST_F(ExportTest, ADisplayDeviceContextIsMadeOnlyForDisplayOrADisplaysName) {
    const DisplayNames names = PrimaryDisplayNames();
    ASSERT_FALSE(names.adapter.empty());
    ASSERT_FALSE(names.monitorId.empty());
    struct Case {
        const char* what;
        const wchar_t* driver;
        const wchar_t* device;
        bool made;
    };
    const Case cases[] = {
        {"DISPLAY", L"DISPLAY", nullptr, true},
        {"display in any case", L"display", nullptr, true},
        {"the adapter as device", nullptr, names.adapter.c_str(), true},
        {"the adapter as driver", names.adapter.c_str(), nullptr, true},
        {"the adapter as both", names.adapter.c_str(), names.adapter.c_str(), true},
        {"DISPLAY with the adapter", L"DISPLAY", names.adapter.c_str(), true},
        {"nothing", nullptr, nullptr, false},
        {"the monitor's device id as driver", names.monitorId.c_str(), nullptr, false},
        {"the monitor's device id as device", nullptr, names.monitorId.c_str(), false},
        {"the monitor's name as driver", names.monitorName.c_str(), nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HDC dc = CreateDCW(c.driver, c.device, nullptr, nullptr);
        EXPECT_EQ(dc != nullptr, c.made);
        if (dc != nullptr) {
            EXPECT_TRUE(DeleteDC(dc));
        }
    }
}

}  // namespace tw_test
