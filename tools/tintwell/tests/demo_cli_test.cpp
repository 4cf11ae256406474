// The demo on every example machine: the road each machine takes, the
// figures that reached its hardware, and the files it leaves behind.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "cli_harness.h"

namespace {

using namespace cli_test;

struct DemoCase {
    const char* machine;
    // detection, manual temperature, nature colour, gamut switch, white point,
    // colour guard
    std::array<const char*, 6> outcomes;
    // Lines, or parts of lines, the story must hold: what reached the
    // hardware on the machine's roads.
    std::vector<std::string> story;
};

void PrintTo(const DemoCase& demo, std::ostream* out) {
    *out << demo.machine;
}

const std::vector<DemoCase>& Cases() {
    static const std::vector<DemoCase> cases = {
        {"default-laptop.json",
         {"done", "done", "done", "done", "done", "done"},
         {"graphics          display type 0, Intel graphics",
          "panel (EDID)      BOE# 68000000, made in week 36 of 2023",
          "hardware class 6: gains 1 0.95 0.9, blue protect level 0 ratio 1, taken",
          "frame 51/51  6500 K  r 0.9500  g 0.9700  b 1.0000  [##############################]",
          "driver load device 12345: 4913 entries, red (941, 184, 0)",
          "the main monitor's default profile is now sRGB.icc",
          "the firmware's record, checked against this panel's EDID",
          "gains   1 0.9951537 0.98130196 (stored WHITEPOINT gains)",
          "the front-end calls RestoreColorState: 0", "gave way after three put-backs",
          "another program keeps changing the gamma ramp of \\\\.\\DISPLAY1"}},
        {"amd-laptop.json",
         {"done", "done", "done", "refused", "done", "done"},
         {"graphics          display type 3, AMD graphics",
          "gamut adapter 0 display 0 reference 1: feature 1, predefined gamut 8, predefined white "
          "point 0, white (3299, 3298)",
          "51 frames from 5030 K to 6500 K reached the hardware",
          "SetColorFieldMode(2, DisplayP3.icc) = 3, the display refused the mode",
          "gamut adapter 0 display 0 reference 2: feature 1, predefined gamut 1, predefined white "
          "point 2, white (3105, 3262)"}},
        {"morven-device.json",
         {"done", "done", "skipped", "done", "skipped", "done"},
         {"graphics          display type 2, MORVEN device",
          "ramp \\\\.\\DISPLAY1: entry 1 = 256, entry 255 = 65280 red, 62016 green, 58752 blue",
          "skipped: nature colour runs on Intel or AMD graphics only; this machine's display "
          "type is 2"}},
        {"desktop-three-monitors.json",
         {"done", "done", "skipped", "done", "skipped", "done"},
         {"computer          desktop", "gain \\\\.\\DISPLAY1#0 green = 95: taken",
          "gain \\\\.\\DISPLAY2#0 blue = 90: taken", "vcp \\\\.\\DISPLAY1#0 code 224 = 1: taken",
          "vcp \\\\.\\DISPLAY2#0 code 224 = 1: taken", "save \\\\.\\DISPLAY2#0: taken",
          "vcp \\\\.\\DISPLAY2#0 code 224 = 6: taken"}},
        {"replaced-panel-laptop.json",
         {"done", "done", "done", "done", "done", "done"},
         {"panel (EDID)      AUO# 00000000, made in week 20 of 2022",
          "the firmware's 3D tables belong to another panel; handing the golden file",
          "SetColorFieldMode(2, DisplayP3.icc) = 0, done",
          "the firmware's record does not fit this panel; handing a golden record:",
          "WPT101309632546800320026506900150006000000000000000000202220AUO#18"}},
        {"docked-laptop.json",
         {"done", "done", "done", "done", "done", "done"},
         {"panel (EDID)      BOE# 68000000, made in week 36 of 2023",
          "driver load device 12345: 4913 entries, red (941, 184, 0)",
          "the firmware's record, checked against this panel's EDID"}},
        {"no-light-sensor-laptop.json",
         {"done", "done", "skipped", "done", "done", "done"},
         {"skipped: the library refused the subscription of type 0"}},
    };
    return cases;
}

class DemoCli : public TintwellCli, public ::testing::WithParamInterface<DemoCase> {};

TEST_P(DemoCli, TakesTheMachinesRoadsAndTellsWhatReachedTheHardware) {
    UseExampleMachine(GetParam().machine);
    const Outcome story = Tintwell({"demo", "--out", ScratchPath("demo")});
    ASSERT_EQ(story.exitCode, 0) << story.err;
    for (const std::string& line : GetParam().story) {
        EXPECT_NE(story.out.find(line), std::string::npos) << line << "\n" << story.out;
    }

    const Outcome summary = Tintwell({"demo", "--json", "--out", ScratchPath("demo")});
    ASSERT_EQ(summary.exitCode, 0) << summary.err;
    const auto json = nlohmann::json::parse(summary.out);
    ASSERT_EQ(json["steps"].size(), GetParam().outcomes.size()) << summary.out;
    for (std::size_t n = 0; n < GetParam().outcomes.size(); ++n) {
        EXPECT_EQ(json["steps"][n]["outcome"], GetParam().outcomes[n]) << json["steps"][n];
    }
    const bool natureRan = std::string(GetParam().outcomes[2]) == "done";
    EXPECT_EQ(json["files"].contains("plot"), natureRan);
    if (natureRan) {
        // A header and one row per frame.
        EXPECT_EQ(Lines(ReadFile(json["files"]["frames"].get<std::string>())).size(), 52u);
        EXPECT_NE(ReadFile(json["files"]["plot"].get<std::string>()).find("<svg"),
                  std::string::npos);
    }
    EXPECT_NE(ReadFile(json["files"]["guardPlot"].get<std::string>()).find("<polyline"),
              std::string::npos);
    EXPECT_FALSE(json["guardTimeline"].empty());
    EXPECT_NE(ReadFile(json["files"]["settings"].get<std::string>()).find("[COLORFIELD]"),
              std::string::npos);
    EXPECT_NE(ReadFile(json["files"]["log"].get<std::string>()).find("(ColorField::"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(ExampleMachines, DemoCli, ::testing::ValuesIn(Cases()),
                         [](const auto& info) {
                             std::string name = info.param.machine;
                             name = name.substr(0, name.find('.'));
                             std::erase(name, '-');
                             return name;
                         });

// QA scripts read every report through --json: each is one object whose
// fields carry what the text version shows, and the exit code stays the same.
TEST_F(TintwellCli, ReportsReadAsOneJsonObject) {
    CreateProgramDataFolder();
    const auto json = [this](std::vector<std::string> arguments, int exitCode) {
        arguments.push_back("--json");
        const Outcome run = Tintwell(arguments);
        EXPECT_EQ(run.exitCode, exitCode) << arguments.front() << run.err;
        return nlohmann::json::parse(run.out);
    };
    const auto info = json({"info"}, 0);
    EXPECT_EQ(info["displayType"], 0);
    EXPECT_EQ(info["monitorId"], 12345);
    EXPECT_EQ(info["desktop"], false);

    EXPECT_EQ(Tintwell({"settings", "set", "CIRCLE", "R", "0.75"}).exitCode, 0);
    const auto value = json({"settings", "get", "circle", "r"}, 0);
    EXPECT_EQ(value["section"], "CIRCLE");
    EXPECT_EQ(value["value"], 0.75);
    const auto list = json({"settings", "list"}, 0);
    const auto missing = std::ranges::find_if(list["settings"], [](const auto& setting) {
        return setting["key"] == "CurrentTemperature";
    });
    ASSERT_NE(missing, list["settings"].end());
    EXPECT_TRUE((*missing)["value"].is_null());

    const auto refused = json({"temperature", "--road", "nvidia", "0", "0", "0"}, 1);
    EXPECT_EQ(refused["result"], -1);

    const auto digests = json({"digest", "add", ScratchPath("gamut.sha"),
                               std::string(TINTWELL_TEST_DATA) + "/icc/sRGB.icc"},
                              0);
    EXPECT_EQ(digests["added"][0]["name"], "sRGB.icc");
    EXPECT_EQ(digests["added"][0]["sha256"].get<std::string>().size(), 64u);

    const auto lut = json({"lut", "apply", "2"}, 0);
    EXPECT_EQ(lut["loaded"], true);
    EXPECT_EQ(lut["machine"][0].get<std::string>().rfind("driver load device 12345: 4913", 0), 0u);

    // Without the colour configuration a front-end stores, the Intel road
    // refuses; the report says so as well as the exit code.
    const auto refusal = json({"whitepoint", "apply"}, 1);
    EXPECT_EQ(refusal["road"], "intel");
    EXPECT_EQ(refusal["result"], -1);
    EXPECT_EQ(refusal["gains"].size(), 3u);
    const auto scene =
        json({"nature", "--clock", "virtual", "--reading", "300:6000", "--frames", "3"}, 0);
    ASSERT_EQ(scene["frames"].size(), 4u);
    EXPECT_EQ(scene["frames"][3]["cct"], 6000);
    EXPECT_EQ(scene["frames"][2]["timeMs"], 200);
    EXPECT_EQ(scene["withoutHardware"], 0);

    UseExampleMachine("amd-laptop.json");
    const auto amd = json({"whitepoint", "apply"}, 0);
    EXPECT_EQ(amd["road"], "amd");
    EXPECT_EQ(amd["machine"][0].get<std::string>().rfind("gamut adapter 0 display 0", 0), 0u);
    const auto adl = json({"adl"}, 0);
    ASSERT_EQ(adl["adapters"].size(), 2u);
    EXPECT_EQ(adl["adapters"][0]["displays"][0]["served"], true);
    EXPECT_EQ(adl["adapters"][0]["displays"][1]["served"], false);
    EXPECT_EQ(adl["adapters"][0]["displays"][0]["gamut"]["customWhitePoint"], true);
}

TEST_F(TintwellCli, DemoRefusesAMachineItCannotRead) {
    const Outcome run =
        Tintwell({"demo", "--machine", WriteScratchFile("broken.json", "{\"displays\": ")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("broken.json"), std::string::npos) << run.err;
}

}  // namespace
