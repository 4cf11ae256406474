// `tintwell whitepoint`: the factory record the library validates on the
// example machines (the firmware's, or the golden one once the panel was
// replaced), records made by the writer and read back by the library, and
// the calibration on the Intel and AMD roads with what reached the hardware.
#include <array>
#include <string>
#include <vector>

#include "cli_harness.h"

namespace {

using namespace cli_test;

// The default laptop's firmware record: its BOE panel as measured.
constexpr const char* kBoeRecord =
    "WPT101309632546800320026506900150006000000000068000000202336BOE#1F";
constexpr const char* kBoeJson =
    R"({"ready": true, "source": "firmware", "white": [0.3096, 0.3254], "red": [0.6800, 0.3200], )"
    R"("green": [0.2650, 0.6900], "blue": [0.1500, 0.0600], "serial": "68000000", )"
    R"("vendor": "BOE#", "year": "2023", "week": "36", "checksumOk": true, "matchesPanel": true})"
    "\n";
constexpr const char* kGoldenFile = "whitepoint-golden.txt";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class WhitePointCli : public TintwellCli {
  protected:
    void SetUp() override { CreateProgramDataFolder(); }

    void ExpectNotReady(const std::string& reason) const {
        const Outcome show = Tintwell({"whitepoint", "show", "--json"});
        EXPECT_EQ(show.exitCode, kExitLibraryFailure) << show.out;
        EXPECT_EQ(show.out, "{\"ready\": false}\n");
        EXPECT_TRUE(Contains(show.err, reason)) << show.err;
    }
};

TEST_F(WhitePointCli, TheDefaultLaptopsFirmwareRecordServesItsPanel) {
    const Outcome json = Tintwell({"whitepoint", "show", "--json"});
    EXPECT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(json.out, kBoeJson);

    const Outcome text = Tintwell({"whitepoint", "show"});
    EXPECT_EQ(text.exitCode, 0) << text.err;
    EXPECT_TRUE(Contains(text.out, "source    firmware\nrecord    " + std::string(kBoeRecord)))
        << text.out;
    EXPECT_TRUE(Contains(text.out, "panel     BOE# 68000000 week 36 year 2023, the one measured"))
        << text.out;
}

// The replacement panel is not the one the firmware's record was measured on:
// nothing serves until the front-end hands a golden record, and one with a
// wrong checksum does not serve either.
TEST_F(WhitePointCli, AReplacedPanelWaitsForTheGoldenRecord) {
    UseExampleMachine("replaced-panel-laptop.json");
    ExpectNotReady("no golden record was given");

    std::string broken = kBoeRecord;
    broken.replace(64, 2, "00");
    ASSERT_EQ(Tintwell({"whitepoint", "golden", broken}).exitCode, 0);
    ExpectNotReady("the golden record was refused too");

    const Outcome golden = Tintwell({"whitepoint", "golden", kBoeRecord});
    EXPECT_EQ(golden.exitCode, 0) << golden.err;
    EXPECT_EQ(ReadFile(ProgramDataFolder() / kGoldenFile), kBoeRecord);
    const Outcome show = Tintwell({"whitepoint", "show", "--json"});
    EXPECT_EQ(show.exitCode, 0) << show.err;
    EXPECT_TRUE(Contains(show.out, R"({"ready": true, "source": "golden", "white": [0.3096, )"))
        << show.out;
    EXPECT_TRUE(Contains(show.out, R"("checksumOk": true, "matchesPanel": false})")) << show.out;
}

// A record made for the replacement panel (AUO#, week 20 of 2022, serial
// 00000000) is read back by the library as it was written.
TEST_F(WhitePointCli, AMadeRecordComesBackFromTheLibrary) {
    EXPECT_EQ(Tintwell({"whitepoint", "make"}).out, std::string(kBoeRecord) + "\n");
    UseExampleMachine("replaced-panel-laptop.json");
    const Outcome make =
        Tintwell({"whitepoint", "make", "--vendor", "AUO#", "--serial", "00000000", "--week", "20",
                  "--year", "2022", "--white", "0.31274,0.3290", "--red", "0.575,0.3457", "--green",
                  "0.3467,0.5723", "--blue", "0.1582,0.1172"});
    ASSERT_EQ(make.exitCode, 0) << make.err;
    ASSERT_EQ(make.out.size(), 67u) << make.out;
    EXPECT_EQ(make.out.substr(0, 38), "WPT10131273290575034573467572315821172");

    ASSERT_EQ(Tintwell({"whitepoint", "golden", make.out.substr(0, 66)}).exitCode, 0);
    const Outcome show = Tintwell({"whitepoint", "show", "--json"});
    EXPECT_EQ(show.exitCode, 0) << show.err;
    EXPECT_EQ(show.out,
              R"({"ready": true, "source": "golden", "white": [0.3127, 0.3290], )"
              R"("red": [0.5750, 0.3457], "green": [0.3467, 0.5723], "blue": [0.1582, 0.1172], )"
              R"("serial": "00000000", "vendor": "AUO#", "year": "2022", "week": "20", )"
              R"("checksumOk": true, "matchesPanel": true})"
              "\n");
}

TEST_F(WhitePointCli, MakeRefusesValuesThatDoNotFitTheRecord) {
    for (const std::vector<std::string>& options :
         std::vector<std::vector<std::string>>{{"--vendor", "BOE"},
                                               {"--serial", "6800000"},
                                               {"--week", "100"},
                                               {"--year", "10000"},
                                               {"--white", "1.2,0.3"},
                                               {"--red", "0.64"},
                                               {"--blue", "0.15,x"}}) {
        std::vector<std::string> arguments{"whitepoint", "make"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const Outcome make = Tintwell(arguments);
        EXPECT_EQ(make.exitCode, kExitUsage) << options[0] << " " << options[1];
        EXPECT_EQ(make.out, "");
    }
}

// The Intel road merges the record's gains with the colour settings a
// front-end keeps, and hands them to the maker's hardware library.
TEST_F(WhitePointCli, TheIntelRoadStoresTheGainsAndHandsThemToTheHardware) {
    for (const auto& [section, key, value] :
         std::vector<std::array<std::string, 3>>{{"EYEPROTECT", "EyeProtectValue", "0"},
                                                 {"BLUEPROTECT", "CurrentBlueProtect", "0"},
                                                 {"CIRCLE", "R", "1"},
                                                 {"CIRCLE", "G", "1"},
                                                 {"CIRCLE", "B", "1"}}) {
        ASSERT_EQ(Tintwell({"settings", "set", section, key, value}).exitCode, 0);
    }
    const Outcome apply = Tintwell({"whitepoint", "apply"});
    ASSERT_EQ(apply.exitCode, 0) << apply.err << apply.out;
    EXPECT_EQ(apply.out,
              "road    intel\n"
              "result  0\n"
              "gains   1 0.9951537 0.98130196 (stored WHITEPOINT gains)\n"
              "  hardware class 6: gains 1 0.9951537 0.98130196, blue protect level 0 ratio 0, "
              "taken\n");
    EXPECT_TRUE(Contains(IniText(), "WhitePointG=0.99515372514724731445")) << IniText();

    const Outcome reset = Tintwell({"whitepoint", "reset"});
    EXPECT_EQ(reset.exitCode, 0) << reset.err << reset.out;
    EXPECT_TRUE(Contains(reset.out,
                         "  hardware class 6: gains 1 1 1, blue protect level 0 "
                         "ratio 0, taken\n"))
        << reset.out;
}

TEST_F(WhitePointCli, RefusalsExitWithOne) {
    UseExampleMachine("replaced-panel-laptop.json");
    const Outcome apply = Tintwell({"whitepoint", "apply"});
    EXPECT_EQ(apply.exitCode, kExitLibraryFailure) << apply.out;
    EXPECT_TRUE(Contains(apply.err, "did not apply the white point")) << apply.err;

    // A MORVEN device has neither road.
    UseExampleMachine("morven-device.json");
    const Outcome morvenApply = Tintwell({"whitepoint", "apply"});
    EXPECT_EQ(morvenApply.exitCode, kExitLibraryFailure) << morvenApply.out;
    EXPECT_TRUE(Contains(morvenApply.err, "display type 2 has no white point road"))
        << morvenApply.err;
}

}  // namespace
