// The gamut switch and the desktop road inside the DLL under Wine, end to
// end: Wine installs and opens the profiles and makes the device contexts;
// the test process's stand-ins keep the associations and play the maker's
// monitor behind Wine's display (system_stand_ins_win32.h).
#include <windows.h>

#include <icm.h>
#include <objbase.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../shared/digest_records.h"
#include "../shared/test_platform.h"
#include "colour_association_stand_in_win32.h"
#include "intel_driver_service_win32.h"
#include "lut_block.h"
#include "monitor_configuration_stand_in_win32.h"
#include "video_controller_service_win32.h"

namespace tw_test {

namespace {

using namespace std::chrono_literals;

constexpr unsigned kSrgb = 1;
constexpr unsigned kP3 = 2;
constexpr int kDdcciRoad = 0;
constexpr int kFirmwareLutRoad = 1;
constexpr const char* kGoldenFile = "\\tintwell-road-golden.bin";
constexpr const char* kGoldenP3Cache = "C:\\ProgramData\\Vozaz\\OrvLumivex\\GoldenP3.bin";
constexpr BYTE kColorFieldVcpCode = 0xE0;
constexpr DWORD kP3VcpValue = 1;
constexpr DWORD kSrgbColorSpace = 0x73524742;
constexpr const char* kProfileFolder = "C:\\tintwell-tests\\";
constexpr const wchar_t* kMakersMonitor = L"ORV Lumivex 27";
constexpr auto kWorkerPatience = 20s;

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::wstring StandardProfile() {
    WCHAR path[MAX_PATH] = {};
    DWORD size = sizeof path;
    GetStandardColorSpaceProfileW(nullptr, kSrgbColorSpace, path, &size);
    return path;
}

// Wine's standard profile under a name of its own, with its digest file;
// the profile's path.
std::string Provide(const std::string& name) {
    const std::string bytes = ReadAll(StandardProfile());
    const std::string path = kProfileFolder + name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    const std::string record = DigestRecord(name, Sha256Of(bytes));
    std::ofstream(path + ".sha", std::ios::binary)
        .write(record.data(), std::streamsize(record.size()));
    return path;
}

int Switch(unsigned mode, const std::string& icc) {
    return TW(SetColorFieldMode)(mode, icc.c_str(), (icc + ".sha").c_str());
}

std::string CurrentIccFileName() {
    char name[1024] = {};
    EXPECT_EQ(TW(GetCurrentIccFileName)(name), 0);
    return name;
}

// The monitor colour management acts on: Wine's one monitor.
std::wstring WineMonitorId() {
    DISPLAY_DEVICEW monitor{};
    monitor.cb = sizeof monitor;
    EnumDisplayDevicesW(L"\\\\.\\DISPLAY1", 0, &monitor, 0);
    return monitor.DeviceID;
}

// The golden file is looked for beside the program, as the library's
// front-end ships it.
std::filesystem::path BesideTheProgram(const char* relative) {
    WCHAR program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    return std::filesystem::path(program).parent_path() / (relative + 1);
}

class MultithreadedApartment {
  public:
    MultithreadedApartment() : joined_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ~MultithreadedApartment() {
        if (joined_) {
            CoUninitialize();
        }
    }
    MultithreadedApartment(const MultithreadedApartment&) = delete;
    MultithreadedApartment& operator=(const MultithreadedApartment&) = delete;

    bool Joined() const { return joined_; }

  private:
    bool joined_;
};

class WineGamutRoads : public ExportTest {
  protected:
    void SetUp() override {
        ExportTest::SetUp();
        srgb_ = Provide("tintwell road sRGB.icm");
        p3_ = Provide("tintwell road P3.icm");
        TW(SetColorFieldSetType)(kDdcciRoad);
        MonitorConfigurationStandIn::Describe(kMakersMonitor);
    }
    void TearDown() override {
        EXPECT_EQ(MonitorConfigurationStandIn::OpenPhysicalMonitors(), 0u);
        ExportTest::TearDown();
    }

    std::string srgb_;
    std::string p3_;
};

}  // namespace

TEST_F(WineGamutRoads, TheDdcciRoadAssociatesTheProfileAndSwitchesTheMakersMonitor) {
    ASSERT_EQ(Switch(kP3, p3_), 0);
    const auto writes = MonitorConfigurationStandIn::VcpWrites();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].code, kColorFieldVcpCode);
    EXPECT_EQ(writes[0].value, kP3VcpValue);
    EXPECT_EQ(MonitorConfigurationStandIn::Saves(), 1u);
    EXPECT_EQ(ColourAssociationStandIn::Associations(WineMonitorId()),
              std::vector<std::wstring>{L"tintwell road P3.icm"});
    EXPECT_EQ(CurrentIccFileName(), "tintwell road P3.icm");
    EXPECT_EQ(
        ReadAll(std::filesystem::path(StandardProfile()).parent_path() / L"tintwell road P3.icm"),
        ReadAll(p3_))
        << "Wine's InstallColorProfileW did not copy the profile";
}

// Wine has no maker's firmware table, so the panel counts as changed and
// the golden file serves; the Intel driver's stand-in takes the table.
TEST_F(WineGamutRoads, TheFirmwareRoadAssociatesTheProfileAndLoadsTheGoldenTable) {
    const MultithreadedApartment apartment;
    ASSERT_TRUE(apartment.Joined());
    const VideoControllerService intelGraphics;
    const IntelDriverService driver;
    ASSERT_TRUE(intelGraphics.Registered() && driver.Registered());
    const auto golden = lut_block::MakeGoldenFile(lut_block::PanelIdentity{}, {1, 2, 3});
    std::ofstream(BesideTheProgram(kGoldenFile), std::ios::binary)
        .write(reinterpret_cast<const char*>(golden.data()), std::streamsize(golden.size()));
    ASSERT_EQ(TW(SetColorFieldGoldenFilePath)(kGoldenFile), 0);
    TW(SetColorFieldSetType)(kFirmwareLutRoad);

    EXPECT_EQ(Switch(kP3, p3_), 0);
    EXPECT_EQ(IntelDriverService::FeatureTables(), 1);
    EXPECT_EQ(CurrentIccFileName(), "tintwell road P3.icm");
    EXPECT_TRUE(MonitorConfigurationStandIn::VcpWrites().empty());
    std::filesystem::remove(BesideTheProgram(kGoldenFile));
    std::filesystem::remove(kGoldenP3Cache);
}

// The monitor refuses the mode: the profile change is undone, so that the
// monitor's default is the profile before again, or the new one is no
// longer associated.
TEST_F(WineGamutRoads, AMonitorThatRefusesTheModeUndoesTheProfileChange) {
    struct Case {
        bool switchedBefore;
        std::wstring defaultAfter;  // empty: nothing associated
    };
    const Case cases[] = {
        {false, L""},
        {true, L"tintwell road sRGB.icm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.switchedBefore);
        ColourAssociationStandIn::Reset();
        MonitorConfigurationStandIn::Reset();
        MonitorConfigurationStandIn::Describe(kMakersMonitor);
        if (c.switchedBefore) {
            ASSERT_EQ(Switch(kSrgb, srgb_), 0);
        }
        MonitorConfigurationStandIn::RefuseVcp();
        EXPECT_EQ(Switch(kP3, p3_), 3);
        const auto associated = ColourAssociationStandIn::Associations(WineMonitorId());
        EXPECT_EQ(associated.empty() ? L"" : associated.back(), c.defaultAfter);
        EXPECT_TRUE(LoggedContaining(3, "SetDisplayerColorField Fail! iccName:"));
    }
}

TEST_F(WineGamutRoads, TheDesktopRoadSendsTheGainsToTheMakersMonitor) {
    MonitorConfigurationStandIn::ShowMakersMonitor();
    EXPECT_EQ(TW(SetTemperatureForDesktopComputer)(0.9f, 0.8f, 0.7f, 0, 1.0), 0);
    ASSERT_TRUE(AwaitCondition(
        [] {
            return MonitorConfigurationStandIn::GainWrites().size() >= 3 &&
                   MonitorConfigurationStandIn::OpenPhysicalMonitors() == 0;
        },
        kWorkerPatience));
    EXPECT_TRUE(TW(HaveOrvMonitor)());
    const auto gains = MonitorConfigurationStandIn::GainWrites();
    ASSERT_EQ(gains.size(), 3u);
    for (int type = 0; type < 3; ++type) {
        EXPECT_EQ(gains[type].gainType, type);
    }
    EXPECT_EQ(gains[0].value, 90u);
    EXPECT_EQ(gains[1].value, 80u);
    EXPECT_EQ(gains[2].value, 70u);

    // Read back inside the DLL, lost to a power cycle, and sent again.
    unsigned drifted = 0;
    ASSERT_EQ(TW(VerifyColorState)(&drifted), 0);
    EXPECT_EQ(drifted & TW_COLOR_STATE_MONITOR_GAINS, 0u);
    MonitorConfigurationStandIn::PowerCycle();
    TW(VerifyColorState)(&drifted);
    EXPECT_NE(drifted & TW_COLOR_STATE_MONITOR_GAINS, 0u);
    EXPECT_EQ(TW(RestoreColorState)(), 0);
    ASSERT_TRUE(AwaitCondition([] { return MonitorConfigurationStandIn::GainWrites().size() >= 6; },
                               kWorkerPatience));
    ASSERT_TRUE(AwaitCondition(
        [] { return MonitorConfigurationStandIn::OpenPhysicalMonitors() == 0; }, kWorkerPatience));
    TW(VerifyColorState)(&drifted);
    EXPECT_EQ(drifted & TW_COLOR_STATE_MONITOR_GAINS, 0u);
}

}  // namespace tw_test
