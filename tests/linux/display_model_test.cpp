// The simulated display hardware's contracts, where Windows' rules matter to
// the library: record sizes, enumeration ends, settings, device contexts and
// the run-time loading of gdi32.
#include <windows.h>

#include <string>

#include "../shared/test_platform.h"
#include "display_test_machines.h"
#include "sim/display_model.h"

namespace tw_test {

namespace {

DISPLAY_DEVICEW Device(DWORD cb = sizeof(DISPLAY_DEVICEW)) {
    DISPLAY_DEVICEW device{};
    device.cb = cb;
    return device;
}

DEVMODEW Mode(WORD size = sizeof(DEVMODEW)) {
    DEVMODEW mode{};
    mode.dmSize = size;
    return mode;
}

sim::DisplayModel& Displays() {
    return sim::Machine::Current().Displays();
}

}  // namespace

TEST_F(ExportTest, DefaultLaptopHasOneIntelPanel) {
    DISPLAY_DEVICEW adapter = Device();
    ASSERT_TRUE(EnumDisplayDevicesW(nullptr, 0, &adapter, 0));
    EXPECT_EQ(std::wstring(adapter.DeviceName), L"\\\\.\\DISPLAY1");
    EXPECT_EQ(std::wstring(adapter.DeviceString), L"Intel(R) UHD Graphics 620");
    EXPECT_EQ(adapter.StateFlags, kPrimary);
    DISPLAY_DEVICEW monitor = Device();
    ASSERT_TRUE(EnumDisplayDevicesW(adapter.DeviceName, 0, &monitor, 0));
    EXPECT_EQ(std::wstring(monitor.DeviceName), L"\\\\.\\DISPLAY1\\Monitor0");
    EXPECT_EQ(std::wstring(monitor.DeviceID).substr(0, 16), L"MONITOR\\BOE0C8B\\");
    EXPECT_FALSE(EnumDisplayDevicesW(adapter.DeviceName, 1, &monitor, 0));
    EXPECT_FALSE(EnumDisplayDevicesW(nullptr, 1, &adapter, 0));
}

TEST_F(ExportTest, DisplayDeviceRecordIsFilledAsFarAsItsSizeSays) {
    DISPLAY_DEVICEW tooShort = Device(offsetof(DISPLAY_DEVICEW, DeviceID) - 1);
    EXPECT_FALSE(EnumDisplayDevicesW(nullptr, 0, &tooShort, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    DISPLAY_DEVICEW withoutId = Device(offsetof(DISPLAY_DEVICEW, DeviceID));
    withoutId.DeviceID[0] = L'#';
    ASSERT_TRUE(EnumDisplayDevicesW(nullptr, 0, &withoutId, 0));
    EXPECT_EQ(withoutId.DeviceID[0], L'#');
    EXPECT_NE(withoutId.DeviceName[0], L'\0');
}

TEST_F(ExportTest, DetachedAdapterHasRegistryButNoCurrentSettings) {
    InstallMachine({Adapter("Intel", kPrimary), Adapter("AMD", 0),
                    nlohmann::json{{"registrySettings", nullptr}, {"stateFlags", kOnDesktop}}});
    DEVMODEW mode = Mode();
    ASSERT_TRUE(EnumDisplaySettingsW(L"\\\\.\\DISPLAY1", ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_EQ(mode.dmPelsWidth, 1920u);
    EXPECT_EQ(mode.dmBitsPerPel, 32u);
    EXPECT_FALSE(EnumDisplaySettingsW(L"\\\\.\\DISPLAY2", ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_TRUE(EnumDisplaySettingsW(L"\\\\.\\DISPLAY2", ENUM_REGISTRY_SETTINGS, &mode));
    EXPECT_TRUE(EnumDisplaySettingsW(L"\\\\.\\DISPLAY3", ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_FALSE(EnumDisplaySettingsW(L"\\\\.\\DISPLAY3", ENUM_REGISTRY_SETTINGS, &mode));
}

TEST_F(ExportTest, DisplaySettingsNeedARecordOfAKnownSize) {
    DEVMODEW mode = Mode(offsetof(DEVMODEW, dmDisplayFrequency));
    EXPECT_FALSE(EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    mode = Mode();
    EXPECT_TRUE(EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_EQ(mode.dmDriverExtra, 0u);
}

TEST_F(ExportTest, DeviceContextsAreBoundToAnAdapterOnTheDesktop) {
    InstallMachine({Adapter("Intel", kPrimary), Adapter("AMD", 0)});
    const HDC first = CreateDCW(nullptr, L"\\\\.\\DISPLAY1", nullptr, nullptr);
    const HDC second = CreateDCW(nullptr, L"\\\\.\\DISPLAY1", nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(Displays().DcAdapter(first), L"\\\\.\\DISPLAY1");
    EXPECT_EQ(CreateDCW(nullptr, L"\\\\.\\DISPLAY2", nullptr, nullptr), nullptr);
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_FALSE(DeleteDC(first));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(Displays().OpenDcCount(), 1u);
}

TEST_F(ExportTest, OnlyTheSystemGdi32Loads) {
    EXPECT_EQ(LoadLibraryW(L"C:\\Windows\\System32\\atiadlxx.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    const HMODULE gdi32 = LoadLibraryW(L"c:\\windows\\system32\\GDI32.dll");
    ASSERT_NE(gdi32, nullptr);
    EXPECT_EQ(GetProcAddress(gdi32, "CreateDCW"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_NE(GetProcAddress(gdi32, "SetDeviceGammaRamp"), nullptr);
    EXPECT_TRUE(FreeLibrary(gdi32));
    EXPECT_EQ(GetProcAddress(gdi32, "SetDeviceGammaRamp"), nullptr);
    EXPECT_FALSE(FreeLibrary(gdi32));
}

TEST_F(ExportTest, LoadedGammaEntryPointsReachTheAdapterOfTheDc) {
    using GammaFunction = BOOL (*)(HDC, LPVOID);
    const HMODULE gdi32 = LoadLibraryW(L"gdi32.dll");
    const auto get = reinterpret_cast<GammaFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(gdi32, "GetDeviceGammaRamp")));
    const auto set = reinterpret_cast<GammaFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(gdi32, "SetDeviceGammaRamp")));
    const HDC dc = CreateDCW(nullptr, L"\\\\.\\DISPLAY1", nullptr, nullptr);
    sim::GammaRamp ramp{};
    ASSERT_TRUE(get(dc, ramp.data()));
    EXPECT_EQ(ramp[255], 65535);
    ramp[255] = 1000;
    ASSERT_TRUE(set(dc, ramp.data()));
    EXPECT_FALSE(set(reinterpret_cast<HDC>(0x1234), ramp.data()));
    ASSERT_EQ(Displays().RampHistory().size(), 1u);
    EXPECT_EQ(Displays().RampHistory()[0].adapter, L"\\\\.\\DISPLAY1");
    EXPECT_EQ(Displays().CurrentRamp(L"\\\\.\\DISPLAY1")[255], 1000);
    DeleteDC(dc);
    FreeLibrary(gdi32);
}

TEST_F(ExportTest, SystemDirectoryReportsTheSizeItNeeds) {
    wchar_t small[8];
    EXPECT_EQ(GetSystemDirectoryW(small, 8), 20u);
    wchar_t enough[20];
    EXPECT_EQ(GetSystemDirectoryW(enough, 20), 19u);
    EXPECT_EQ(std::wstring(enough), L"C:\\Windows\\System32");
    sim::Machine::Current().FailCall("GetSystemDirectoryW", ERROR_ACCESS_DENIED);
    EXPECT_EQ(GetSystemDirectoryW(enough, 20), 0u);
}

}  // namespace tw_test
