// `tintwell digest` and `tintwell gamut`: digest files written for real
// profiles and checked by the library, and whole gamut switches on the
// example machines, with what reached the monitors and the driver.
#include <string>
#include <vector>

#include "cli_harness.h"

namespace {

using namespace cli_test;

constexpr std::size_t kRecordLength = 102;
constexpr const char* kPanel = "MONITOR\\BOE0C8B\\{4d36e96e-e325-11ce-bfc1-08002be10318}\\0001";

std::string RealProfile(const std::string& name) {
    return ReadFile(fs::path(TINTWELL_TEST_DATA) / "icc" / name);
}

class GamutCli : public TintwellCli {
  protected:
    // The settings folder exists, as the front-end's installer leaves it.
    void SetUp() override { CreateProgramDataFolder(); }

    // A profile in the machine's C:\Profiles folder, by its Windows path.
    std::string Profile(const std::string& name, const std::string& bytes) const {
        const fs::path file = ScratchPath("C/Profiles/" + name);
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return "C:\\Profiles\\" + name;
    }
    std::string Host(const std::string& windowsPath) const {
        std::string relative = windowsPath.substr(0, 1) + windowsPath.substr(2);
        std::replace(relative.begin(), relative.end(), '\\', '/');
        return ScratchPath(relative);
    }
    std::string Vouched(const std::string& name, const std::string& bytes) {
        const std::string path = Profile(name, bytes);
        const Outcome add = Tintwell({"digest", "add", Host(kDigest), Host(path)});
        EXPECT_EQ(add.exitCode, 0) << add.err;
        return path;
    }

    static constexpr const char* kDigest = "C:\\Profiles\\profiles.sha";
};

TEST_F(GamutCli, DigestRecordsAreCheckedByTheLibrary) {
    const std::string srgb = Host(Profile("sRGB.icc", RealProfile("sRGB.icc")));
    const std::string adobe =
        Host(Profile("AdobeRGB.icc", RealProfile("compatibleWithAdobeRGB1998.icc")));
    const Outcome add = Tintwell({"digest", "add", Host(kDigest), srgb, adobe});
    ASSERT_EQ(add.exitCode, 0) << add.err;
    EXPECT_EQ(Lines(add.out)[0],
              "added  sRGB.icc  2a92d4bae450b76d8b0aa42193df974d75f62738ecebf74f01c5e75b12a95796");
    const std::string records = ReadFile(Host(kDigest));
    ASSERT_EQ(records.size(), 2 * kRecordLength);
    EXPECT_EQ(records.substr(kRecordLength, 13), std::string("AdobeRGB.icc\0", 13));

    EXPECT_EQ(Tintwell({"digest", "check", adobe, Host(kDigest)}).out,
              "0  the profile matches its record\n");
    const Outcome json = Tintwell({"digest", "check", srgb, Host(kDigest), "--json"});
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_EQ(json.out, "{\"result\": 0, \"meaning\": \"the profile matches its record\"}\n");

    std::ofstream(srgb, std::ios::app) << ' ';
    EXPECT_EQ(Tintwell({"digest", "check", srgb, Host(kDigest)}).exitCode, 2);
    EXPECT_EQ(Tintwell({"digest", "check", srgb + ".gone", Host(kDigest)}).exitCode, 1);
    EXPECT_EQ(Tintwell({"digest", "check", srgb, Host(kDigest) + ".gone"}).exitCode, 2);
}

TEST_F(GamutCli, DigestAddRefusesNamesTheLibraryCannotFindAndWritesNothing) {
    const std::string good = Host(Profile("sRGB.icc", RealProfile("sRGB.icc")));
    const std::string longName = Host(Profile(std::string(63, 'n') + ".icc", "x"));
    const Outcome run = Tintwell({"digest", "add", Host(kDigest), good, longName});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("1 to 62 bytes"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Host(kDigest)));
}

TEST_F(GamutCli, FirmwareRoadSwitchOnTheDefaultLaptop) {
    const std::string adobe =
        Vouched("AdobeRGB.icc", RealProfile("compatibleWithAdobeRGB1998.icc"));
    const Outcome run = Tintwell({"gamut", "set", "adobergb", adobe, kDigest, "--road", "lut"});
    ASSERT_EQ(run.exitCode, 0) << run.err << run.out;
    const auto lines = Lines(run.out);
    ASSERT_GE(lines.size(), 5u) << run.out;
    EXPECT_EQ(lines[0], "result  0 (done)");
    EXPECT_EQ(lines[1], "  install AdobeRGB.icc");
    EXPECT_NE(run.out.find("  associate C:\\Profiles\\AdobeRGB.icc with " + std::string(kPanel) +
                           ": taken\n"),
              std::string::npos)
        << run.out;
    // No device context for the monitor, so no association ramp, as on Windows.
    EXPECT_EQ(run.out.find("  ramp "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  warning: CreateDC Failed! No ICM mode and no association gamma "
                           "ramp. device:" +
                           std::string(kPanel) + "(ColorField::AssociateIccFile)\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("  driver load device 12345: 4913 entries"), std::string::npos);

    const Outcome current = Tintwell({"gamut", "current", "--json"});
    EXPECT_EQ(current.exitCode, 0) << current.err;
    EXPECT_EQ(current.out, "{\"profile\": \"AdobeRGB.icc\", \"mode\": 3, \"setType\": 1}\n");

    // A later run on the same machine tells only what it did itself.
    const std::string srgb = Vouched("sRGB.icc", RealProfile("sRGB.icc"));
    const Outcome back = Tintwell({"gamut", "set", "srgb", srgb, kDigest, "--road", "lut"});
    ASSERT_EQ(back.exitCode, 0) << back.err << back.out;
    EXPECT_EQ(Lines(back.out)[1], "  install sRGB.icc");
    EXPECT_EQ(back.out.find("AdobeRGB.icc"), std::string::npos) << back.out;
}

TEST_F(GamutCli, DdcciRoadSwitchOnTheDesktopWithTheMakersMonitor) {
    UseExampleMachine("desktop-makers-monitor.json");
    const std::string srgb = Vouched("sRGB.icc", RealProfile("sRGB.icc"));
    const Outcome run = Tintwell({"gamut", "set", "1", srgb, kDigest, "--road", "ddcci", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err << run.out;
    EXPECT_EQ(run.out.rfind("{\"result\": 0, \"meaning\": \"done\", \"mode\": 1, \"setType\": 0, "
                            "\"machine\": [",
                            0),
              0u)
        << run.out;
    EXPECT_NE(run.out.find("\"vcp \\\\\\\\.\\\\DISPLAY1#0 code 224 = 6: taken\""),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"save \\\\\\\\.\\\\DISPLAY1#0: taken\""), std::string::npos);
}

TEST_F(GamutCli, TheExitCodeIsTheSwitchsResult) {
    const std::string srgb = Vouched("sRGB.icc", RealProfile("sRGB.icc"));
    EXPECT_EQ(Tintwell({"gamut", "set", "p3", "C:\\Profiles\\none.icc", kDigest}).exitCode, 1);
    EXPECT_EQ(Tintwell({"gamut", "set", "p3", srgb, "C:\\Profiles\\none.sha"}).exitCode, 2);

    const Outcome refused = Tintwell({"gamut", "set", "p3", srgb, kDigest, "--road", "ddcci"});
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_NE(refused.out.find("  disassociate C:\\Profiles\\sRGB.icc from"), std::string::npos)
        << refused.out;
    EXPECT_EQ(Tintwell({"gamut", "set", "7", srgb, kDigest}).exitCode, 2);
}

}  // namespace
