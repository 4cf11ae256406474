// The colour operator's roads on the simulated laptop: what reaches the
// hardware library, the gamma ramp, the Intel driver, the INI file and the
// printer record.
#include <cstring>

#include "../shared/test_platform.h"
#include "display_test_machines.h"
#include "sim/display_model.h"
#include "sim/firmware_model.h"
#include "sim/intel_driver_model.h"
#include "sim/registry_model.h"
#include "temperature/operate_color.h"

namespace tw_test {

namespace {

constexpr const wchar_t* kPrinterKey = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Lumivex\\Printer";
constexpr int kHardwareRefused = -101;
constexpr int kDefaultIntelDeviceId = 12345;

sim::FirmwareModel& Firmware() {
    return sim::Machine::Current().Firmware();
}
sim::DisplayModel& Displays() {
    return sim::Machine::Current().Displays();
}
sim::IntelDriverModel& Driver() {
    return sim::Machine::Current().IntelDriver();
}
sim::RegistryModel& Registry() {
    return sim::Machine::Current().Registry();
}

template <typename T>
std::vector<T> Decode(const std::vector<BYTE>& bytes) {
    std::vector<T> values(bytes.size() / sizeof(T));
    std::memcpy(values.data(), bytes.data(), values.size() * sizeof(T));
    return values;
}

std::int32_t Int32At(const std::vector<BYTE>& bytes, std::size_t offset) {
    std::int32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

std::wstring PrinterText(const wchar_t* name) {
    return Registry().StringValue(kPrinterKey, name).value_or(L"(absent)");
}

}  // namespace

// ---- the hardware library roads ----

TEST_F(ExportTest, IntelRoadHandsFiveFloatsToTheHardwareLibrary) {
    ASSERT_EQ(TW(SetTemperatureForIntel)(1.0f, 0.5f, 0.25f, 40, 0.35), 0);

    const auto calls = Firmware().HalSetInformationCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].version, 16);
    EXPECT_EQ(calls[0].informationClass, 6);
    EXPECT_EQ(calls[0].size, 20);
    EXPECT_EQ(Decode<float>(calls[0].data), (std::vector<float>{1.0f, 0.5f, 0.25f, 40.0f, 0.35f}));
    EXPECT_TRUE(calls[0].accepted);
    EXPECT_EQ(TW(GetBlueProtect)(-1), 350);
    EXPECT_EQ(PrinterText(L"r"), L"1.000000");
    EXPECT_EQ(PrinterText(L"g"), L"0.500000");
    EXPECT_EQ(PrinterText(L"b"), L"0.250000");
}

TEST_F(ExportTest, BlueProtectRatioIsRoundedHalfAwayFromZero) {
    const std::pair<double, int> cases[] = {
        {0.0005, 1}, {-0.0005, -1}, {0.0015, 2}, {0.0, 0}, {1e12, 2147483647}};
    for (const auto& [ratio, stored] : cases) {
        ASSERT_EQ(TW(SetTemperatureForIntel)(1.0f, 1.0f, 1.0f, 0, ratio), 0);
        EXPECT_EQ(TW(GetBlueProtect)(-7), stored) << ratio;
    }
}

TEST_F(ExportTest, RefusedIntelRoadWritesNoBlueProtectButKeepsThePrinterRecord) {
    Firmware().SetHalRefusesClass(6);
    EXPECT_EQ(TW(SetTemperatureForIntel)(0.9f, 0.8f, 0.7f, 0, 0.5), kHardwareRefused);
    EXPECT_FALSE(ReadIni().has_value());
    EXPECT_EQ(PrinterText(L"b"), L"0.700000");
}

TEST_F(ExportTest, PrinterRecordFailureIsLoggedAndTheRoadGoesOn) {
    Registry().DenyWrites(L"HKEY_LOCAL_MACHINE");
    EXPECT_EQ(TW(SetTemperatureForIntel)(1.0f, 1.0f, 1.0f, 0, 0.2), 0);
    EXPECT_EQ(TW(GetBlueProtect)(-1), 200);
    const auto records = LogRecords();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().level, 3);
    EXPECT_EQ(records.back().text, "SetRGB Fail!(OperateColor::SetTemperatureForIntel)");
}

TEST_F(ExportTest, TemperatureAndColourAdjustUseTheirOwnClasses) {
    EXPECT_EQ(TW(SetTemperature)(6500, -3), 0);
    EXPECT_EQ(TW(SetColorAdjust)(7, 8), 0);
    const auto calls = Firmware().HalSetInformationCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].informationClass, 2);
    EXPECT_EQ(Decode<std::int32_t>(calls[0].data), (std::vector<std::int32_t>{6500, -3}));
    EXPECT_EQ(calls[1].informationClass, 5);
    EXPECT_EQ(Decode<std::int32_t>(calls[1].data), (std::vector<std::int32_t>{7, 8}));
    Firmware().SetHalRefusesAll(true);
    EXPECT_EQ(TW(SetTemperature)(6500, 0), kHardwareRefused);
    EXPECT_EQ(TW(SetColorAdjust)(1, 1), kHardwareRefused);
}

TEST_F(ExportTest, WithoutTheHardwareBlockEveryHardwareCallFails) {
    Firmware().SetHalInitSucceeds(false);
    EXPECT_EQ(TW(SetTemperature)(6500, 0), kHardwareRefused);
    EXPECT_EQ(TW(SetTemperatureForIntel)(1.0f, 1.0f, 1.0f, 0, 0.5), kHardwareRefused);
    const auto debug = sim::Machine::Current().DebugOutput();
    EXPECT_NE(
        std::find(debug.begin(), debug.end(), L"[OperateColor::OperateColor] HalInit Failed ...\n"),
        debug.end());
}

// ---- the gamma ramp road ----

class GammaRoad : public ExportTest {
  protected:
    static sim::GammaRamp LastRamp() {
        const auto history = Displays().RampHistory();
        return history.empty() ? sim::GammaRamp{} : history.back().ramp;
    }
    static WORD Red(int i) { return LastRamp()[i]; }
    static WORD Green(int i) { return LastRamp()[256 + i]; }
    static WORD Blue(int i) { return LastRamp()[512 + i]; }
};

TEST_F(GammaRoad, UnitGainsLoadTheIdentityRamp) {
    ASSERT_EQ(TW(SetTemperatureForNvidia)(1.0f, 1.0f, 1.0f, 0, 1.0), 0);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(Red(i), i * 256);
        ASSERT_EQ(Green(i), i * 256);
        ASSERT_EQ(Blue(i), i * 256);
    }
    EXPECT_EQ(Blue(255), 65280);
}

struct RampTop {
    float r, g, b;
    int level;
    double ratio;
    WORD red, green, blue;
};

// The largest gain reaches the top of the ramp; blue protection then takes
// its share of blue only.
TEST_F(GammaRoad, GainsAreNormalisedByTheLargestAndBlueProtectScalesBlue) {
    const RampTop cases[] = {
        {0.5f, 1.0f, 0.25f, 0, 1.0, 32640, 65280, 16320},
        {0.8f, 0.6f, 0.4f, 0, 1.0, 65280, static_cast<WORD>(65280 * (0.6f / 0.8f)),
         static_cast<WORD>(65280 * (0.4f / 0.8f))},
        {1.0f, 1.0f, 1.0f, 128, 1.0, 65280, 65280, 32768},
        {1.0f, 1.0f, 1.0f, 255, 0.5, 65280, 65280, 32640},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.r << ' ' << c.g << ' ' << c.b << " level " << c.level
                                        << " ratio " << c.ratio);
        ASSERT_EQ(TW(SetTemperatureForNvidia)(c.r, c.g, c.b, c.level, c.ratio), 0);
        EXPECT_EQ(Red(255), c.red);
        EXPECT_EQ(Green(255), c.green);
        EXPECT_EQ(Blue(255), c.blue);
    }
}

TEST_F(GammaRoad, RequestsWithoutAPositiveGainAreRefused) {
    EXPECT_EQ(TW(SetTemperatureForNvidia)(0.0f, 0.0f, 0.0f, 0, 1.0), -1);
    EXPECT_EQ(TW(SetTemperatureForNvidia)(1.0f, 1.0f, 1.0f, 255, 0.0), 0);
    EXPECT_EQ(TW(SetTemperatureForNvidia)(-1.0f, -0.5f, -0.2f, 0, 1.0), -1);
    EXPECT_EQ(Displays().RampHistory().size(), 1u);
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].level, 3);
    EXPECT_NE(records[0].text.find("(OperateColor::SetTemperatureForNvidia)"), std::string::npos);
}

TEST_F(GammaRoad, RefusedRampGivesMinusOne) {
    sim::Machine::Current().FailCall("SetDeviceGammaRamp", ERROR_INVALID_PARAMETER);
    EXPECT_EQ(TW(SetTemperatureForNvidia)(1.0f, 1.0f, 1.0f, 0, 1.0), -1);
    EXPECT_EQ(Displays().OpenDcCount(), 0u);
    EXPECT_EQ(Displays().LibraryReferences(sim::SystemLibrary::Gdi32), 0);
}

// ---- colour enhancement through the Intel driver ----

TEST_F(ExportTest, ColourEnhanceLoadsTheIdentityTableForTheIntelDevice) {
    ASSERT_EQ(TW(SetColorEnhance)(true), 0);
    ASSERT_EQ(TW(SetColorEnhance)(false), 0);
    const auto calls = Driver().FeatureDataCalls();
    ASSERT_EQ(calls.size(), 2u);
    for (const auto& call : calls) {
        ASSERT_EQ(call.header.size(), 56u);
        EXPECT_EQ(Int32At(call.header, 0), 2);
        EXPECT_EQ(Int32At(call.header, 44), 1);
        EXPECT_EQ(Int32At(call.header, 48), kDefaultIntelDeviceId);
        ASSERT_EQ(call.data.size(), 19652u);
        // Entry (k1, k2, k3) = (4, 0, 16) sits at index 4 + 16 * 289.
        const std::size_t entry = (4 + 16 * 17 * 17) * 4;
        EXPECT_EQ(std::vector<BYTE>(call.data.begin() + entry, call.data.begin() + entry + 4),
                  (std::vector<BYTE>{64, 0, 255, 0}));
    }
    EXPECT_EQ(Int32At(calls[0].header, 28), 0);
    EXPECT_EQ(Int32At(calls[1].header, 28), 1);
}

TEST_F(ExportTest, ColourEnhanceReportsEachFailure) {
    Driver().SetFeatureStatus(3);
    EXPECT_EQ(TW(SetColorEnhance)(true), -4);
    Driver().SetFeatureStatus(0);
    sim::Machine::Current().FailCall("SetFeatureData", static_cast<DWORD>(E_FAIL));
    EXPECT_EQ(TW(SetColorEnhance)(true), -4);
    Driver().SetDevice(L"\\\\.\\DISPLAY1", 0);
    EXPECT_EQ(TW(SetColorEnhance)(true), -7);
}

TEST_F(ExportTest, ColourEnhanceWithoutTheDriverGivesMinusTwo) {
    Driver().SetPresent(false);
    EXPECT_EQ(TW(SetColorEnhance)(true), -2);
    Driver().SetPresent(true);
    EXPECT_EQ(TW(SetColorEnhance)(true), 0);
}

TEST_F(ExportTest, ColourEnhanceWithAnUnknownAdapterGivesMinusSeven) {
    InstallDescription({{"displays", {{"adapters", {Adapter("Intel(R) Iris Xe", kPrimary)}}}},
                        {"intelDriver", {{"present", true}}}});
    EXPECT_EQ(TW(SetColorEnhance)(true), -7);
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].text, "EnumActiveDevices fail(OperateColor::EnumActiveDevices)");
    EXPECT_EQ(records[1].text, "no Intel device id(OperateColor::SetColorEnhance)");
}

// ---- the main adapter's device id ----

TEST_F(ExportTest, InitMonitorIdStoresTheMainAdaptersDeviceId) {
    TW(InitMonitorId)();
    EXPECT_EQ(TW(GetMonitorId)(-7), kDefaultIntelDeviceId);
}

TEST_F(ExportTest, InitMonitorIdStoresNothingWithoutAMainAdapterOrDriver) {
    InstallMachine({Adapter("Intel(R) UHD Graphics 620", kOnDesktop)});
    TW(InitMonitorId)();
    EXPECT_EQ(TW(GetMonitorId)(-7), -7);
    Driver().SetPresent(false);
    TW(InitMonitorId)();
    EXPECT_FALSE(ReadIni().has_value());
}

// ---- detection answered by the colour operator ----

TEST_F(ExportTest, DesktopFindsTheMakersMonitorAtConstruction) {
    InstallMachine({Adapter("AMD Radeon RX 6600", kPrimary, {Monitor(kMakerMonitorId)})},
                   {{"chassisType", 3}, {"deviceCodeName", "Talvik"}});
    EXPECT_TRUE(TW(IsDesktopComputer)());
    EXPECT_TRUE(TW(HaveOrvMonitor)());
    char buffer[1024];
    std::memset(buffer, 'x', sizeof buffer);
    TW(GetDeviceType)(buffer);
    EXPECT_STREQ(buffer, "Talvik");
}

TEST_F(ExportTest, LaptopListsNoMonitorsUntilTheDesktopRoadRuns) {
    InstallMachine({Adapter("Intel(R) UHD Graphics 620", kPrimary, {Monitor(kMakerMonitorId)})});
    EXPECT_FALSE(TW(IsDesktopComputer)());
    EXPECT_FALSE(TW(HaveOrvMonitor)());
    TW(GetDeviceType)(nullptr);
}

}  // namespace tw_test

namespace tw_test {

// ---- the colour settings the engines start from ----

TEST_F(ExportTest, ColourConfigNeedsEveryValueAndRefusesNegatives) {
    ColorConfigInfo info{7, 7, 7.0, 7.0, 7.0};
    EXPECT_EQ(OperateColor::Instance().GetCurrentColorConfigInfo(info), -1);
    EXPECT_EQ(info.blueProtectLevel, 7);

    WriteIni(
        "[EYEPROTECT]\r\nEyeProtectValue=40\r\n[BLUEPROTECT]\r\nCurrentBlueProtect=350\r\n"
        "[CIRCLE]\r\nR=1\r\nG=0,9\r\nB=0.8\r\n");
    ASSERT_EQ(OperateColor::Instance().GetCurrentColorConfigInfo(info), 0);
    EXPECT_EQ(info.blueProtectLevel, 40);
    EXPECT_EQ(info.blueProtectValue, 350);
    EXPECT_EQ(info.r, 1.0);
    EXPECT_EQ(info.g, 0.9);
    EXPECT_EQ(info.b, 0.8);

    WriteIni(
        "[EYEPROTECT]\r\nEyeProtectValue=40\r\n[BLUEPROTECT]\r\nCurrentBlueProtect=350\r\n"
        "[CIRCLE]\r\nR=1\r\nG=-0.1\r\nB=0.8\r\n");
    EXPECT_EQ(OperateColor::Instance().GetCurrentColorConfigInfo(info), -1);
    EXPECT_EQ(info.g, 0.9);
}

}  // namespace tw_test
