// The colour operator's exports against the machine the platform offers: the
// simulated laptop on Linux (Intel graphics, the maker's hardware library),
// and under Wine a generic machine with no hardware gamma, no Intel driver and
// none of the maker's firmware.
#include <windows.h>

#include <cstring>
#include <fstream>
#include <optional>
#include <string>

#include "test_platform.h"

namespace tw_test {

namespace {

constexpr int kHardwareRefused = -101;

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};

std::optional<std::wstring> PrinterValue(const wchar_t* name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvane\\Lumivex\\Printer", 0, KEY_READ,
                      &opened) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::unique_ptr<HKEY__, KeyCloser> key(opened);
    wchar_t text[64] = {};
    DWORD type = 0;
    DWORD size = sizeof text - sizeof(wchar_t);
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    return std::wstring(text);
}

// Wine answers SMBIOS questions from the host's DMI files, reachable through
// its Z: drive: the same facts, read without Windows in between.
std::optional<std::string> HostDmi(const char* field) {
    std::ifstream in(std::string("Z:\\sys\\class\\dmi\\id\\") + field);
    std::string value;
    if (!in || !std::getline(in, value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

TEST_F(ExportTest, IntelRoadPublishesThePrinterRecordEvenWhenRefused) {
    const int result = TW(SetTemperatureForIntel)(1.0f, 0.5f, 0.25f, 0, 0.35);
    if (OnWine()) {
        EXPECT_EQ(result, kHardwareRefused);  // no hardware gamma without a display
        EXPECT_EQ(TW(GetBlueProtect)(-1), -1);
    } else {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(TW(GetBlueProtect)(-1), 350);
    }
    EXPECT_EQ(PrinterValue(L"r"), L"1.000000");
    EXPECT_EQ(PrinterValue(L"g"), L"0.500000");
    EXPECT_EQ(PrinterValue(L"b"), L"0.250000");
}

TEST_F(ExportTest, FirmwareOnlyClassesNeedTheMakersHardware) {
    const int expected = OnWine() ? kHardwareRefused : 0;
    EXPECT_EQ(TW(SetTemperature)(6500, 0), expected);
    EXPECT_EQ(TW(SetColorAdjust)(1, 2), expected);
}

TEST_F(ExportTest, GammaRoadNeedsHardwareGamma) {
    EXPECT_EQ(TW(SetTemperatureForNvidia)(1.0f, 0.9f, 0.8f, 0, 1.0), OnWine() ? -1 : 0);
    EXPECT_EQ(TW(SetTemperatureForNvidia)(0.0f, 0.0f, 0.0f, 0, 1.0), -1);
}

TEST_F(ExportTest, ColourEnhanceNeedsTheIntelDriver) {
    EXPECT_EQ(TW(SetColorEnhance)(true), OnWine() ? -2 : 0);
}

TEST_F(ExportTest, MonitorIdIsStoredOnlyWhenTheDriverKnowsTheMainAdapter) {
    TW(InitMonitorId)();
    EXPECT_EQ(TW(GetMonitorId)(-7), OnWine() ? -7 : 12345);
}

TEST_F(ExportTest, DesktopTestFollowsTheChassisType) {
    if (!OnWine()) {
        EXPECT_FALSE(TW(IsDesktopComputer)());
        return;
    }
    const auto chassis = HostDmi("chassis_type");
    if (!chassis) {
        GTEST_SKIP() << "the host publishes no chassis type";
    }
    EXPECT_EQ(TW(IsDesktopComputer)(), std::stoi(*chassis) == 3);
}

TEST_F(ExportTest, DeviceTypeIsTheProductFamily) {
    char buffer[1024];
    std::memset(buffer, 'x', sizeof buffer);
    TW(GetDeviceType)(buffer);
    const std::string family = OnWine() ? HostDmi("product_family").value_or("") : "";
    if (family.empty()) {
        EXPECT_EQ(buffer[0], 'x');
    } else {
        EXPECT_EQ(std::string(buffer), family);
    }
}

TEST_F(ExportTest, NoMakersMonitorOnTheseMachines) {
    EXPECT_FALSE(TW(HaveOrvMonitor)());
}

}  // namespace tw_test
