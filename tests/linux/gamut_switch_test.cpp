// A gamut switch end to end on simulated machines: the profile verified,
// installed and made the main monitor's default, then the display switched by
// the firmware 3D LUT or by DDC/CI, and the profile change undone when the
// display refuses.
#include <icm.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <thread>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "../shared/digest_records.h"
#include "../shared/test_platform.h"
#include "allocation_limit.h"
#include "desktop_test_machines.h"
#include "lut_block.h"
#include "sim/color_model.h"
#include "sim/error_codes.h"
#include "sim/firmware_model.h"
#include "sim/icc_profile_writer.h"
#include "sim/intel_driver_model.h"
#include "sim/open_files.h"

namespace tw_test {

namespace {

namespace fs = std::filesystem;

constexpr unsigned kSrgb = 1;
constexpr unsigned kP3 = 2;
constexpr unsigned kAdobeRgb = 3;
constexpr int kDdcci = 0;
constexpr int kFirmwareLut = 1;
constexpr DWORD kDlut = 0x54554C44;
constexpr WCS_PROFILE_MANAGEMENT_SCOPE kUser = WCS_PROFILE_MANAGEMENT_SCOPE_CURRENT_USER;
constexpr const wchar_t* kPanel = L"MONITOR\\BOE0C8B\\{4d36e96e-e325-11ce-bfc1-08002be10318}\\0001";
constexpr const char* kProfiles = "C:\\Profiles\\";

sim::Machine& Machine() {
    return sim::Machine::Current();
}

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& file, std::string_view bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

fs::path HostFile(const std::string& windowsPath) {
    return Machine().HostPath(std::wstring(windowsPath.begin(), windowsPath.end()));
}

std::string RealProfile(const std::string& name) {
    return ReadFile(fs::path(TINTWELL_TEST_DATA) / "icc" / name);
}

std::string P3Profile() {
    const auto bytes = sim::MakeRgbProfile(sim::DisplayP3ColorSpace());
    return std::string(bytes.begin(), bytes.end());
}

// The 128-byte header is intact, so the file still opens; the tag table
// puts every tag far past the end, so none can be read.
std::string WithBrokenTagTable(std::string profile) {
    constexpr std::size_t kTagCount = 128;
    constexpr std::size_t kTagEntry = 12;
    const auto count = static_cast<unsigned char>(profile[kTagCount + 3]);
    for (std::size_t tag = 0; tag < count; ++tag) {
        profile[kTagCount + 4 + tag * kTagEntry + 4] = '\x7F';
    }
    return profile;
}

// Puts a profile into the machine's C:\Profiles folder and vouches for it in
// a digest file of its own; returns the profile's Windows path.
std::string Provide(const std::string& name, const std::string& bytes) {
    const std::string path = kProfiles + name;
    WriteFile(HostFile(path), bytes);
    WriteFile(HostFile(path + ".sha"), DigestRecord(name, Sha256Of(bytes)));
    return path;
}

std::string DigestOf(const std::string& iccPath) {
    return iccPath + ".sha";
}

int Switch(unsigned mode, const std::string& iccPath) {
    return TW(SetColorFieldMode)(mode, iccPath.c_str(), DigestOf(iccPath).c_str());
}

std::vector<std::wstring> PanelProfiles() {
    return Machine().Colors().Associations(kUser, kPanel);
}

std::string CurrentIccFileName() {
    std::string name(1024, '\0');
    EXPECT_EQ(TW(GetCurrentIccFileName)(name.data()), 0);
    return name.c_str();
}

std::size_t DriverTableLoads() {
    return Machine().IntelDriver().FeatureDataCalls().size();
}

// Each VCP write as "DISPLAY<n>#<physical index> <code>=<value>", and each
// save as its physical index, refused ones marked, comma-separated.
std::string VcpLog() {
    std::string log;
    for (const auto& write : Displays().VcpWrites()) {
        std::string display(write.monitor.display.begin() + 4, write.monitor.display.end());
        log += (log.empty() ? "" : ", ") + display + "#" + std::to_string(write.monitor.index) +
               " " + std::to_string(write.code) + "=" + std::to_string(write.value) +
               (write.accepted ? "" : " refused");
    }
    return log;
}

std::string SaveLog() {
    std::string log;
    for (const auto& save : Displays().SettingsSaves()) {
        log += (log.empty() ? "" : ", ") + std::to_string(save.monitor.index) +
               (save.accepted ? "" : " refused");
    }
    return log;
}

class GamutSwitch : public ExportTest {
  protected:
    void SetUp() override {
        ExportTest::SetUp();
        TW(SetColorFieldSetType)(kFirmwareLut);
        p3_ = Provide("DisplayP3.icc", P3Profile());
        srgb_ = Provide("sRGB.icc", RealProfile("sRGB.icc"));
    }

    // Every handle the switch opened is closed again, whatever the outcome.
    void TearDown() override {
        EXPECT_EQ(Machine().Colors().OpenProfileCount(), 0u);
        EXPECT_EQ(Displays().OpenDcCount(), 0u);
        ExportTest::TearDown();
    }

    std::string p3_;
    std::string srgb_;
};

}  // namespace

// A standard user cannot install a profile. One the suite's installer, run
// as administrator, put in the colour directory with the same bytes needs no
// install, and the switch goes on to the association; other bytes under the
// profile's name are no stand-in for it.
TEST_F(GamutSwitch, AStandardUserSwitchesToAProfileTheInstallerPutInPlace) {
    struct Case {
        const char* name;
        std::optional<std::string> installed;  // what the installer installed as DisplayP3.icc
        int result;
    };
    const std::vector<Case> cases = {
        {"nothing installed", std::nullopt, 2},
        {"another profile of that name installed", RealProfile("sRGB.icc"), 2},
        {"the same profile installed", P3Profile(), 0},
    };
    const std::string installer = "C:\\Installer\\DisplayP3.icc";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.installed) {
            WriteFile(HostFile(installer), *c.installed);
            Machine().Colors().SetElevated(true);
            ASSERT_TRUE(InstallColorProfileW(nullptr, L"C:\\Installer\\DisplayP3.icc"));
        }
        Machine().Colors().SetElevated(false);
        const std::size_t records = LogRecords().size();

        EXPECT_EQ(Switch(kP3, p3_), c.result);
        const auto panel = PanelProfiles();
        EXPECT_EQ(!panel.empty() && panel.back() == L"DisplayP3.icc", c.result == 0);
        EXPECT_EQ(LoggedContaining(3, "InstallColorProfile Failed!", records), c.result != 0);
    }
}

TEST_F(GamutSwitch, FirmwareRoadInstallsAssociatesAndLoadsTheModesTable) {
    ASSERT_EQ(Switch(kP3, p3_), 0);

    EXPECT_EQ(PanelProfiles(), std::vector<std::wstring>{L"DisplayP3.icc"});
    EXPECT_EQ(ReadFile(Machine().HostPath(sim::ColorModel::ColorDirectory() + L"\\DisplayP3.icc")),
              P3Profile());
    // Windows makes no device context for a monitor's device id: no image
    // colour management and no association ramp, and the log says so.
    EXPECT_TRUE(Machine().Colors().IcmCalls().empty());
    EXPECT_TRUE(Displays().RampHistory().empty());
    EXPECT_TRUE(LoggedContaining(2,
                                 "CreateDC Failed! No ICM mode and no association gamma ramp. "
                                 "device:MONITOR\\"));
    const auto loads = Machine().IntelDriver().FeatureDataCalls();
    ASSERT_EQ(loads.size(), 1u);
    const auto table = lut_block::DriverTable(kP3);
    ASSERT_EQ(loads[0].data.size(), table.size() * 4);
    EXPECT_EQ(std::memcmp(loads[0].data.data(), table.data(), loads[0].data.size()), 0);
    EXPECT_EQ(CurrentIccFileName(), "DisplayP3.icc");
    EXPECT_EQ(TW(GetCurrentColorFieldMode)(-1), -1) << "the front-end records the mode";
}

TEST_F(GamutSwitch, AnAssociatedProfileSkipsEveryCheckAndSwitchesTheDisplayOnlyForANewMode) {
    ASSERT_EQ(Switch(kP3, p3_), 0);
    const auto associations = Machine().Colors().AssociationHistory().size();
    TW(SetGetCurrentColorFieldMode)(kP3);
    fs::remove(HostFile(DigestOf(p3_)));

    EXPECT_EQ(Switch(kP3, p3_), 0);
    EXPECT_EQ(DriverTableLoads(), 1u);

    Machine().Firmware().ClearAcpiTable(kDlut);
    EXPECT_EQ(Switch(kAdobeRgb, p3_), 0) << "the display's refusal is not reported";
    EXPECT_TRUE(Logged(0,
                       "Icc Already Associated. iccFileName:C:\\Profiles\\DisplayP3.icc"
                       "(ColorField::SetColorFieldMode)"));
    EXPECT_TRUE(LoggedContaining(3, "SetDisplayerLut3D Failed! mode:3"));
    EXPECT_EQ(Machine().Colors().AssociationHistory().size(), associations);
    EXPECT_FALSE(LoggedContaining(3, "Icc File:"));

    // A path without a file name is in every name; it used to pass for the
    // associated profile and skip every check.
    EXPECT_EQ(Switch(kP3, kProfiles), 2);
}

TEST_F(GamutSwitch, EachFailureIsReportedWithItsLinesAndLeavesTheMonitorAsItWas) {
    const std::string truncated = Provide("Cut.icc", P3Profile().substr(0, 100));
    const std::string broken = Provide("Broken.icc", WithBrokenTagTable(RealProfile("sRGB.icc")));
    WriteFile(HostFile(kProfiles + std::string("Tampered.icc")), RealProfile("sRGB.icc") + " ");
    WriteFile(HostFile(kProfiles + std::string("Tampered.icc.sha")),
              ReadFile(HostFile(DigestOf(srgb_))));
    struct Case {
        std::string icc;
        std::string failCall;
        int result;
        std::vector<std::string> lines;
        // What another program holds the profile open for, sharing everything.
        std::uint32_t heldFor = 0;
    };
    const std::vector<Case> cases = {
        {"C:\\Profiles\\Missing.icc", "", 1, {"Icc File:C:\\Profiles\\Missing.icc Not Found!"}},
        {"C:\\Profiles\\Tampered.icc",
         "",
         2,
         {"Icc File Be Modified! fileName:C:\\Profiles\\Tampered.icc"}},
        {truncated,
         "",
         2,
         {"GetProfileHandle OpenColorProfile Failed!C:\\Profiles\\Cut.icc",
          "Get CurrentProFileHandle Failed! fileName:C:\\Profiles\\Cut.icc",
          "InstallIccFile Failed! fileName:C:\\Profiles\\Cut.icc",
          "SwitchIccFile Failed! iccFileName:C:\\Profiles\\Cut.icc"}},
        {broken, "", 2, {"GetProfileHandle Profile Not Valid!"}},
        {p3_, "GetStandardColorSpaceProfileW", 2, {"Get StandardProfileHandle Failed! fileName:"}},
        {p3_,
         "InstallColorProfileW",
         2,
         {"InstallColorProfile Failed! fileName:C:\\Profiles\\DisplayP3.icc"}},
        {p3_,
         "WcsAssociateColorProfileWithDevice",
         2,
         {"AssociateIccFile Failed! fileName:C:\\Profiles\\DisplayP3.icc",
          "SwitchIccFile Failed! iccFileName:C:\\Profiles\\DisplayP3.icc"}},
        // A file that may change under the check cannot be held unchanged.
        {p3_,
         "",
         2,
         {"Icc File Be Modified! fileName:C:\\Profiles\\DisplayP3.icc"},
         sim::kFileWrite},
        {p3_,
         "",
         2,
         {"Icc File Be Modified! fileName:C:\\Profiles\\DisplayP3.icc"},
         sim::kFileDelete},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.icc + " " + c.failCall + " held for " + std::to_string(c.heldFor));
        if (!c.failCall.empty()) {
            Machine().FailCall(c.failCall, ERROR_ACCESS_DENIED);
        }
        const auto otherProgram = c.heldFor != 0 ? sim::OpenFiles::Instance().Open(
                                                       HostFile(c.icc), c.heldFor, sim::kShareAll)
                                                 : std::nullopt;
        ASSERT_EQ(otherProgram.has_value(), c.heldFor != 0);
        const std::size_t from = LogRecords().size();
        EXPECT_EQ(Switch(kP3, c.icc), c.result);
        for (const auto& line : c.lines) {
            EXPECT_TRUE(LoggedContaining(3, line, from)) << line;
        }
        Machine().ClearFailures();
    }
    EXPECT_TRUE(PanelProfiles().empty());
    EXPECT_EQ(DriverTableLoads(), 0u);
    EXPECT_TRUE(Displays().RampHistory().empty());
}

TEST_F(GamutSwitch, NullPathsTouchNothing) {
    EXPECT_EQ(TW(SetColorFieldMode)(kP3, nullptr, "x.sha"), 1);
    EXPECT_EQ(TW(SetColorFieldMode)(kP3, p3_.c_str(), nullptr), 1);
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].text,
              "pIccFilePath  or pIccCheckFilePath is nullptr!(ColorField::SetColorFieldMode)");
    EXPECT_TRUE(Machine().Colors().DefaultProfileQueries().empty());
    EXPECT_EQ(TW(GetCurrentIccFileName)(nullptr), -1);
}

TEST_F(GamutSwitch, ADisplayRefusalReassociatesThePreviousProfile) {
    ASSERT_EQ(Switch(kSrgb, srgb_), 0);
    Machine().Firmware().ClearAcpiTable(kDlut);

    EXPECT_EQ(Switch(kP3, p3_), 3);
    EXPECT_TRUE(
        LoggedContaining(3, "SetDisplayerColorField Fail! iccName:C:\\Profiles\\DisplayP3.icc"));
    EXPECT_EQ(PanelProfiles().back(), L"sRGB.icc");
    EXPECT_EQ(CurrentIccFileName(), "sRGB.icc");
}

TEST_F(GamutSwitch, ADisplayRefusalWithoutAPreviousProfileDisassociatesTheNewOne) {
    Machine().Firmware().ClearAcpiTable(kDlut);
    const std::string forward = "C:/Profiles/DisplayP3.icc";

    EXPECT_EQ(TW(SetColorFieldMode)(kP3, forward.c_str(), DigestOf(p3_).c_str()), 3);
    EXPECT_TRUE(PanelProfiles().empty());
    const auto history = Machine().Colors().AssociationHistory();
    ASSERT_FALSE(history.empty());
    for (const auto& event : history) {
        EXPECT_EQ(event.profile, L"C:\\Profiles\\DisplayP3.icc");
    }
    EXPECT_EQ(history.back().change, sim::AssociationChange::Disassociate);
    EXPECT_TRUE(history.back().accepted);
}

TEST_F(GamutSwitch, WithoutADisplayAtTheOriginColourManagementIsAskedForTheWholeDisplay) {
    auto display = Display(1, {Monitor(kPanelId)}, {});
    display["currentSettings"] = {{"x", 1920}};
    InstallMachine({display});
    TW(SetColorFieldSetType)(kFirmwareLut);

    EXPECT_EQ(Switch(kP3, p3_), 2);
    EXPECT_EQ(Machine().Colors().DefaultProfileQueries(), std::vector<std::wstring>{L"DISPLAY"});
    EXPECT_EQ(Machine().Colors().AssociationHistory().back().device, L"DISPLAY");
    EXPECT_TRUE(LoggedContaining(0, "currentIccFileName:iccFileNew:DisplayP3.icc"));
}

TEST_F(GamutSwitch, DdcciRoadActsOnTheOneMakersMonitorWhereverItStands) {
    auto generic = Display(1, {Monitor("MONITOR\\DEL41A8\\{x}\\0001")}, {Physical("Generic")});
    auto makers = Display(2, {Monitor(kMakerMonitorId)}, {Physical("ORV Lumivex 27")});
    makers["currentSettings"] = {{"x", 1920}};
    makers["monitors"][0]["deviceString"] = "ORV Lumivex 27";
    InstallDesktop({generic, makers});
    TW(SetColorFieldSetType)(kDdcci);
    const std::wstring makersId(kMakerMonitorId, kMakerMonitorId + std::strlen(kMakerMonitorId));

    EXPECT_EQ(Switch(kP3, p3_), 0);
    EXPECT_EQ(Machine().Colors().Associations(kUser, makersId),
              std::vector<std::wstring>{L"DisplayP3.icc"});
    EXPECT_EQ(VcpLog(), "DISPLAY2#0 224=1");
    EXPECT_EQ(SaveLog(), "0");
}

// An exception escaping the switch used to be answered with "done".
TEST_F(GamutSwitch, AnExceptionInsideTheSwitchIsReportedAsAFailure) {
    if (!AllocationLimitAvailable()) {
        GTEST_SKIP() << "the sanitizer runtime owns the allocation functions";
    }
    constexpr std::size_t kLimit = 256 * 1024;
    const std::string hugePath = kProfiles + std::string(kLimit / 2, 'p') + ".icc";
    {
        const ScopedAllocationLimit limit(kLimit);
        EXPECT_EQ(TW(SetColorFieldMode)(kP3, hugePath.c_str(), "C:\\x.sha"), 2);
    }
    EXPECT_TRUE(Logged(3,
                       "SetColorFieldMode exception! Info:std::bad_alloc"
                       "(ColorField::SetColorFieldMode)"));

    auto monitor = Monitor(kPanelId);
    monitor["deviceString"] = std::string(kLimit, 'm');
    InstallMachine({Adapter("Intel", kPrimary, {monitor})});
    char name[1024] = "untouched";
    {
        const ScopedAllocationLimit limit(kLimit);
        EXPECT_EQ(TW(GetCurrentIccFileName)(name), -1);
    }
    EXPECT_STREQ(name, "untouched");
    EXPECT_TRUE(LoggedContaining(3, "GetCurrentIccFileName exception! Info:std::bad_alloc"));
}

std::string InstalledProfile(const std::wstring& name) {
    return ReadFile(Machine().HostPath(sim::ColorModel::ColorDirectory() + L"\\" + name));
}

// Another program saving over the profile while switches run: every switch
// that answers "done" has installed exactly the bytes its digest vouched for.
// One saver is a thread in a loop; the other saves at the worst moment, as
// colour management opens the verified file.
TEST_F(GamutSwitch, AProfileReplacedDuringTheSwitchIsNeverInstalledUnverified) {
    constexpr int kSwitches = 200;
    const std::string verified = P3Profile();
    const std::string other = RealProfile("sRGB.icc");
    const fs::path host = HostFile(p3_);
    struct Case {
        const char* saver;
        bool onOpen;
    };
    for (const Case c : {Case{"a thread in a loop", false}, Case{"as the file opens", true}}) {
        SCOPED_TRACE(c.saver);
        std::atomic<bool> stop = false;
        std::atomic<int> refused = 0;
        const auto save = [&](const std::string& bytes) {
            if (!sim::OpenFiles::Instance().ReplaceAsAnotherProgram(host, bytes)) {
                ++refused;
            }
        };
        std::thread saver;
        if (c.onOpen) {
            Machine().Colors().SetBeforeProfileFileOpens([&](const fs::path& file) {
                if (file == host) {
                    save(other);
                }
            });
        } else {
            saver = std::thread([&] {
                for (int n = 0; !stop; ++n) {
                    save(n % 2 ? other : verified);
                    std::this_thread::sleep_for(std::chrono::microseconds(50));
                }
            });
        }
        int done = 0;
        int wrongBytes = 0;
        for (int n = 0; n < kSwitches; ++n) {
            fs::remove(Machine().HostPath(sim::ColorModel::ColorDirectory() + L"\\DisplayP3.icc"));
            WriteFile(host, verified);
            if (Switch(kP3, p3_) == 0) {
                ++done;
                wrongBytes += InstalledProfile(L"DisplayP3.icc") != verified;
            }
            // Without the association the next switch checks the file again.
            Machine().Colors().Disassociate(kUser, kPanel, L"DisplayP3.icc");
        }
        stop = true;
        if (saver.joinable()) {
            saver.join();
        }
        Machine().Colors().SetBeforeProfileFileOpens(nullptr);
        EXPECT_EQ(wrongBytes, 0) << done << " switches done";
        EXPECT_GT(done, 0);
        if (c.onOpen) {
            EXPECT_EQ(done, kSwitches);
            EXPECT_EQ(refused, kSwitches);
        }
    }
}

// The existence check, the digest, the install and the association all use
// the path resolved once against the current directory.
TEST_F(GamutSwitch, EveryStepUsesTheOneFullPath) {
    const std::string decoy = RealProfile("sRGB.icc");
    WriteFile(HostFile("C:\\Profiles\\Front\\DisplayP3.icc"), decoy);
    ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\Profiles\\Front"));
    struct Case {
        std::string icc;
        std::string digest;
        int result;
        std::wstring associated;  // the path the switch associated
    };
    const Case cases[] = {
        {"..\\DisplayP3.icc", "..\\DisplayP3.icc.sha", 0, L"C:\\Profiles\\DisplayP3.icc"},
        {"C:/Profiles/./Front/../DisplayP3.icc", "../DisplayP3.icc.sha", 0,
         L"C:\\Profiles\\DisplayP3.icc"},
        {"..\\..\\..\\Profiles\\DisplayP3.icc", "\\Profiles\\DisplayP3.icc.sha", 0,
         L"C:\\Profiles\\DisplayP3.icc"},
        // The decoy in the current directory is the file checked, and fails.
        {"DisplayP3.icc", "..\\DisplayP3.icc.sha", 2, L""},
        {"..\\" + std::string(300, 'p') + ".icc", "..\\DisplayP3.icc.sha", 1, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.icc);
        ASSERT_EQ(Switch(kSrgb, srgb_), 0);
        fs::remove(Machine().HostPath(sim::ColorModel::ColorDirectory() + L"\\DisplayP3.icc"));
        const std::size_t associations = Machine().Colors().AssociationHistory().size();
        EXPECT_EQ(TW(SetColorFieldMode)(kP3, c.icc.c_str(), c.digest.c_str()), c.result);
        const auto history = Machine().Colors().AssociationHistory();
        if (c.result == 0) {
            EXPECT_EQ(InstalledProfile(L"DisplayP3.icc"), P3Profile());
            EXPECT_EQ(PanelProfiles().back(), L"DisplayP3.icc");
            ASSERT_GT(history.size(), associations);
            EXPECT_EQ(history.back().profile, c.associated);
        } else {
            EXPECT_EQ(history.size(), associations);
            EXPECT_EQ(PanelProfiles().back(), L"sRGB.icc");
        }
    }
    EXPECT_TRUE(
        LoggedContaining(3, "Icc File Be Modified! fileName:C:\\Profiles\\Front\\DisplayP3.icc"));
}

// Only a profile of the same file name, in any case, counts as associated.
TEST_F(GamutSwitch, TheAssociatedProfileIsRecognisedByItsWholeFileName) {
    ASSERT_EQ(Switch(kP3, p3_), 0);
    WriteFile(HostFile("C:\\Profiles\\P3.icc"), P3Profile());
    WriteFile(HostFile("C:\\Profiles\\P3.icc.sha"), DigestRecord("Other.icc", Digest{}));
    struct Case {
        std::string icc;
        int result;
        bool checked;  // went through the file check, not the shortcut
    };
    const Case cases[] = {
        {"C:\\Profiles\\P3.icc", 2, true},
        {"C:\\Profiles\\Display", 1, true},
        {"C:\\Profiles\\displayp3.ICC", 0, false},
        {"C:\\Profiles/DisplayP3.icc", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.icc);
        const std::size_t from = LogRecords().size();
        EXPECT_EQ(Switch(kP3, c.icc), c.result);
        EXPECT_EQ(LoggedContaining(0, "Icc Already Associated.", from), !c.checked);
        EXPECT_EQ(PanelProfiles(), std::vector<std::wstring>{L"DisplayP3.icc"});
    }
}

// \\.\DISPLAY1 at the origin is not the display of \\.\DISPLAY10's monitor,
// listed first.
TEST_F(GamutSwitch, TheMainDisplayIsMatchedByItsWholeName) {
    const std::string tenth = "MONITOR\\DEL41A8\\{x}\\0010";
    auto display10 = Display(10, {Monitor(tenth)}, {});
    display10["currentSettings"] = {{"x", 1920}};
    InstallMachine({display10, Display(1, {Monitor(kPanelId)}, {})});
    TW(SetColorFieldSetType)(kFirmwareLut);

    // This machine has no firmware tables: the display side fails and the
    // profile is disassociated again, on the display at the origin.
    EXPECT_EQ(Switch(kP3, p3_), 3);
    const std::wstring panel(kPanelId, kPanelId + std::strlen(kPanelId));
    const auto history = Machine().Colors().AssociationHistory();
    ASSERT_FALSE(history.empty());
    for (const auto& event : history) {
        EXPECT_EQ(event.device, panel);
    }
    EXPECT_EQ(Machine().Colors().DefaultProfileQueries(), std::vector<std::wstring>{panel});
}

// A mode number outside off, sRGB, P3 and Adobe RGB reaches no monitor, no
// driver and no profile, with one line.
TEST_F(GamutSwitch, ModesOutsideTheKnownOnesAreRefusedByEveryExport) {
    InstallDesktop({Display(1, {Monitor(kMakerMonitorId)}, {Physical("ORV Lumivex 27")})});
    struct Case {
        const char* call;
        std::function<int()> run;
        int result;
        const char* line;
    };
    const std::string p3 = p3_;
    const std::vector<Case> cases = {
        {"SetColorFieldMode", [&] { return Switch(4, p3); }, 1,
         "Color field mode out of range! mode:4(ColorField::SetColorFieldMode)"},
        {"SetDisplayerColorField DDC/CI", [] { return TW(SetDisplayerColorField)(4, kDdcci); }, 3,
         "Color field mode out of range! mode:4(ColorField::SwitchDisplayerColorField)"},
        {"SetDisplayerColorField LUT",
         [] { return TW(SetDisplayerColorField)(0xFFFFFFFFu, kFirmwareLut); }, 3,
         "Color field mode out of range! mode:-1(ColorField::SwitchDisplayerColorField)"},
        {"IsLcdChanged", [] { return TW(IsLcdChanged)(4, kFirmwareLut); }, -1,
         "Color field mode out of range! mode:4(ColorField::IsLcdChanged)"},
        {"IsLcdChanged off", [] { return TW(IsLcdChanged)(0, kFirmwareLut); }, -1,
         "Color field mode has no table! mode:0(ColorField::IsLcdChanged)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        const std::size_t from = LogRecords().size();
        EXPECT_EQ(c.run(), c.result);
        const auto records = LogRecords();
        ASSERT_EQ(records.size(), from + 1);
        EXPECT_EQ(records.back().text, c.line);
    }
    EXPECT_TRUE(VcpLog().empty());
    EXPECT_EQ(DriverTableLoads(), 0u);
    EXPECT_EQ(Machine().Firmware().FirmwareTableCalls().size(), 0u);
    EXPECT_TRUE(Machine().Colors().DefaultProfileQueries().empty());
}

// mscms and dxva2 come from the system directory alone, loaded by each step
// that needs them: a refused load or a missing entry point fails the step as
// its first call's failure would, says why, and leaves nothing loaded; the
// search order's load is never asked.
TEST_F(GamutSwitch, SystemLibrariesComeFromTheSystemDirectoryOnly) {
    struct Case {
        const char* failCall;
        std::function<int()> run;
        int result;
        std::string line;
    };
    const auto current = [] {
        char name[1024] = {};
        return TW(GetCurrentIccFileName)(name);
    };
    const std::vector<Case> cases = {
        {"LoadLibraryExW", [&] { return Switch(kP3, p3_); }, 2,
         "mscms not loaded from the system directory! ErrorCode:5(ColorField::InstallIccFile)"},
        {"GetProcAddress:WcsAssociateColorProfileWithDevice", [&] { return Switch(kP3, p3_); }, 2,
         "mscms not loaded from the system directory! ErrorCode:5(ColorField::InstallIccFile)"},
        {"LoadLibraryExW", current, -1,
         "mscms not loaded from the system directory! "
         "ErrorCode:5(ColorField::QueryCurrentIccFile)"},
        {"GetProcAddress:SaveCurrentSettings",
         [] { return TW(SetDisplayerColorField)(kP3, kDdcci); }, 3,
         "dxva2 not loaded from the system directory! "
         "ErrorCode:5(ColorField::SetDisplayerColorField)"},
        {"LoadLibraryW", [&] { return Switch(kP3, p3_); }, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failCall);
        Machine().FailCall(c.failCall, ERROR_ACCESS_DENIED, true);
        EXPECT_EQ(c.run(), c.result);
        EXPECT_TRUE(c.line.empty() || Logged(3, c.line)) << c.line;
        EXPECT_EQ(Displays().LibraryReferences(sim::SystemLibrary::Mscms), 0);
        EXPECT_EQ(Displays().LibraryReferences(sim::SystemLibrary::Dxva2), 0);
        Machine().ClearFailures();
    }
    EXPECT_EQ(PanelProfiles(), std::vector<std::wstring>{L"DisplayP3.icc"});
}

using DdcciColorField = ExportTest;

// Each mode's value reaches every physical monitor of the maker's display and
// is saved once, asked of each monitor until one saves; a write or save nobody
// took is a failure. Another road, or no maker's monitor, reaches no monitor.
TEST_F(DdcciColorField, TheMakersMonitorsAreWrittenAndSavedAsTheyAnswer) {
    const auto maker = Monitor(kMakerMonitorId);
    const auto lumivex = Physical("ORV Lumivex 27");
    auto refusesSave = lumivex;
    refusesSave["refusesSave"] = true;
    auto refusesBoth = refusesSave;
    refusesBoth["refusesVcp"] = true;
    const std::string genericId = "MONITOR\\DEL41A8\\{x}\\0001";
    auto other = Display(2, {Monitor(genericId)}, {Physical("Generic")});
    other["currentSettings"] = {{"x", 1920}};
    using Desktop = std::vector<nlohmann::json>;
    const auto makers = [&](std::vector<nlohmann::json> physical) {
        return Desktop{Display(1, {maker}, std::move(physical))};
    };
    const Desktop twoBehindOneName = {Display(1, {maker}, {Physical("Generic"), Physical("Other")}),
                                      other};
    const Desktop noMaker = {Display(1, {Monitor(genericId)}, {Physical("Generic")})};
    const std::string unsupported =
        "PC Displayer ColorField Mode Not Support on this version."
        "(ColorField::SwitchDisplayerColorField)";
    struct Case {
        const char* name;
        Desktop displays;
        unsigned mode;
        int result;
        std::string vcp;
        std::string saves;
        std::string line = "";
        unsigned road = kDdcci;
    };
    const Case cases[] = {
        {"sRGB", makers({lumivex}), kSrgb, 0, "DISPLAY1#0 224=6", "0"},
        {"P3", makers({lumivex}), kP3, 0, "DISPLAY1#0 224=1", "0"},
        {"off", makers({lumivex}), 0, 0, "DISPLAY1#0 224=0", "0"},
        {"Adobe RGB", makers({lumivex}), kAdobeRgb, 0, "DISPLAY1#0 224=0", "0"},
        {"the interface name's every monitor", twoBehindOneName, kP3, 0,
         "DISPLAY1#0 224=1, DISPLAY1#1 224=1", "0"},
        {"saves until one succeeds", makers({refusesSave, lumivex, lumivex}), kSrgb, 0,
         "DISPLAY1#0 224=6, DISPLAY1#1 224=6, DISPLAY1#2 224=6", "0 refused, 1"},
        {"a write taken but not saved", makers({refusesSave}), kP3, 3, "DISPLAY1#0 224=1",
         "0 refused"},
        {"a write refused", makers({refusesBoth}), kP3, 3, "DISPLAY1#0 224=1 refused", "",
         "LCD SetVCPFeature set Failed! Code:224, value:1, physicalMonitorsCount:1, index:0, "
         "description:ORV Lumivex 27(ColorField::SetDisplayerColorField)"},
        {"no maker's monitor", noMaker, kP3, 3, "", ""},
        {"road 2", makers({lumivex}), kP3, 3, "", "", unsupported, 2},
        {"road -1", makers({lumivex}), kP3, 3, "", "", unsupported, static_cast<unsigned>(-1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InstallDesktop(c.displays);
        EXPECT_EQ(TW(SetDisplayerColorField)(c.mode, c.road), c.result);
        EXPECT_EQ(VcpLog(), c.vcp);
        EXPECT_EQ(SaveLog(), c.saves);
        EXPECT_TRUE(c.line.empty() || Logged(3, c.line)) << c.line;
        EXPECT_EQ(Displays().OpenPhysicalMonitorCount(), 0u);
    }
}

}  // namespace tw_test
