#include "cli_harness.h"

namespace {

using namespace cli_test;

constexpr std::size_t kSettingCount = 38;

// What is stored reads back to its last digit: integers at their extremes,
// doubles and floats with the digits that round-trip, names case-blind.
TEST_F(TintwellCli, StoredValuesReadBackExactly) {
    CreateProgramDataFolder();
    for (const auto& [section, key, value, printed] : std::vector<std::array<std::string, 4>>{
             {"TEMPERATURE", "CurrentTemperature", "6500", "6500"},
             {"TEMPERATURE", "CurrentTemperature", "-2147483648", "-2147483648"},
             {"TEMPERATURE", "CurrentTemperature", "2147483647", "2147483647"},
             {"CIRCLE", "R", "0.1", "0.10000000000000001"},
             {"WHITEPOINT", "WhitePointR", "0.3", "0.300000012"},
             {"natureColor", "MONITORID", "2", "2"}}) {
        const Outcome set = Tintwell({"settings", "set", section, key, value});
        EXPECT_EQ(set.exitCode, 0) << set.err;
        EXPECT_EQ(set.out, "");
        EXPECT_EQ(Tintwell({"settings", "get", section, key}).out, printed + "\n") << key;
    }
    EXPECT_NE(IniText().find("R=0.10000000000000000555"), std::string::npos) << IniText();
    EXPECT_EQ(Tintwell({"settings", "get", "NATURECOLOR", "monitorid"}).out, "2\n");
}

TEST_F(TintwellCli, ListShowsMissingOnAFreshMachineAndValuesOnceSet) {
    const Outcome fresh = Tintwell({"settings", "list"});
    EXPECT_EQ(fresh.exitCode, 0);
    const std::vector<std::string> freshLines = Lines(fresh.out);
    ASSERT_EQ(freshLines.size(), kSettingCount);
    for (const std::string& line : freshLines) {
        EXPECT_TRUE(line.ends_with(" = (missing)")) << line;
    }
    EXPECT_EQ(Tintwell({"settings", "get", "CIRCLE", "Angle"}).out, "(missing)\n");

    CreateProgramDataFolder();
    ASSERT_EQ(Tintwell({"settings", "set", "CIRCLE", "Angle", "-12.5"}).exitCode, 0);
    const std::vector<std::string> lines = Lines(Tintwell({"settings", "list"}).out);
    ASSERT_EQ(lines.size(), kSettingCount);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "CIRCLE Angle = -12.5"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "CIRCLE R = (missing)"), 1);
}

TEST_F(TintwellCli, UnknownOrReadOnlyKeysAreUsageErrors) {
    CreateProgramDataFolder();
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"settings", "get", "TEMPERATURE", "NoSuchKey"},
             {"settings", "set", "NOSECTION", "CurrentTemperature", "1"},
             {"settings", "set", "TEMPERATURE", "CurrentTemperatureDefault", "1"},
             {"settings", "get", "TEMPERATURE"},
             {"settings", "remove", "TEMPERATURE", "CurrentTemperature"}}) {
        const Outcome run = Tintwell(arguments);
        EXPECT_EQ(run.exitCode, kExitUsage) << arguments.back();
        EXPECT_NE(run.err, "") << arguments.back();
    }
    EXPECT_FALSE(fs::exists(ProgramDataFolder() / kIniFileName));
}

TEST_F(TintwellCli, ValuesThatDoNotFitTheKeyAreRejected) {
    CreateProgramDataFolder();
    for (const auto& [section, key, value] : std::vector<std::array<std::string, 3>>{
             {"TEMPERATURE", "CurrentTemperature", "65oo"},
             {"TEMPERATURE", "CurrentTemperature", "6.5"},
             {"TEMPERATURE", "CurrentTemperature", "2147483648"},
             {"CIRCLE", "R", "0.5x"},
             {"CIRCLE", "R", "inf"},
             {"WHITEPOINT", "WhitePointR", "1e39"},
             {"WHITEPOINT", "WhitePointR", ""}}) {
        const Outcome run = Tintwell({"settings", "set", section, key, value});
        EXPECT_EQ(run.exitCode, kExitUsage) << key << '=' << value;
        EXPECT_NE(run.err.find(value), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(ProgramDataFolder() / kIniFileName));
}

TEST_F(TintwellCli, WritesTheLibraryRefusesExitWithOne) {
    const Outcome noFolder =
        Tintwell({"settings", "set", "TEMPERATURE", "CurrentTemperature", "6500"});
    EXPECT_EQ(noFolder.exitCode, kExitLibraryFailure);
    EXPECT_NE(noFolder.err.find("TEMPERATURE CurrentTemperature"), std::string::npos)
        << noFolder.err;
    EXPECT_FALSE(fs::exists(ProgramDataFolder()));

    CreateProgramDataFolder();
    UseExampleMachine("settings-write-denied.json");
    EXPECT_EQ(Tintwell({"settings", "set", "CIRCLE", "R", "0.5"}).exitCode, kExitLibraryFailure);
    EXPECT_EQ(Tintwell({"settings", "get", "CIRCLE", "R"}).out, "(missing)\n");
}

TEST_F(TintwellCli, InfoDescribesTheDefaultLaptop) {
    CreateProgramDataFolder();
    const Outcome run = Tintwell({"info"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    for (const char* expected :
         {"display type: 0 (Intel graphics)", "device type: (none)", "desktop computer: no",
          "physical monitors: 1", "maker's monitor attached: no",
          "main adapter Intel device id (stored MonitorId): 12345"}) {
        EXPECT_EQ(std::count(lines.begin(), lines.end(), expected), 1) << run.out;
    }
    EXPECT_NE(IniText().find("MonitorId=12345"), std::string::npos) << IniText();
}

// A laptop whose display, as Windows may, answers TRUE for a ramp far from
// identity and keeps the one it had.
constexpr const char* kRampKeepingLaptop = R"({"displays": {"adapters": [{
    "deviceName": "\\\\.\\DISPLAY1", "stateFlags": 5, "keepsRampsDeviatingBeyond": 300,
    "monitors": [{"deviceId": "MONITOR\\BOE0C8B\\{x}\\0001", "stateFlags": 3}]}]}})";

// The result, and under it what the library warned of or refused with.
TEST_F(TintwellCli, TemperatureRoadsReportTheLibrarysResultAndComplaints) {
    CreateProgramDataFolder();
    struct Case {
        std::vector<std::string> arguments;
        bool rampKeeper;
        int exitCode;
        std::string out;
    };
    const Case cases[] = {
        {{"intel", "1", "0.5", "0.25", "--level", "40", "--ratio", "0.35"},
         false,
         0,
         "result: 0\n"},
        {{"nvidia", "0", "0", "0"},
         false,
         kExitLibraryFailure,
         "result: -1\nerror: no positive finite gain, r:0 g:0 b:0"
         "(OperateColor::SetTemperatureForNvidia)\n"},
        {{"amd", "1", "1", "1"},
         false,
         kExitLibraryFailure,
         "result: -1\nerror: ADL is not loaded(OperateColor::SetTemperatureForAMD)\n"},
        {{"nvidia", "1", "1", "1"}, true, 0, "result: 0\n"},
        {{"nvidia", "1", "0.5", "0.25", "--json"},
         true,
         0,
         R"({"road": "nvidia", "result": 0, "log": ["warning: The display kept another gamma )"
         R"(ramp than the one loaded. display:\\\\.\\DISPLAY1, first differing entry: red[1] )"
         R"x(holds 257, loaded 256(GammaRampLibrary::LoadLinearRamp)"]})x"
         "\n"},
    };
    const std::string rampKeeper = WriteScratchFile("ramp-keeper.json", kRampKeepingLaptop);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[0]);
        UseMachine(c.rampKeeper ? rampKeeper : "");
        std::vector<std::string> arguments{"temperature", "--road"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const Outcome run = Tintwell(arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
    EXPECT_NE(IniText().find("CurrentBlueProtect=350"), std::string::npos) << IniText();
}

TEST_F(TintwellCli, AmdRoadLoadsAdlAroundTheChange) {
    CreateProgramDataFolder();
    UseExampleMachine("amd-laptop.json");
    const Outcome run =
        Tintwell({"temperature", "--road", "amd", "1", "1", "1", "--level", "1", "--ratio", "0.5"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "result: 0\n");
    EXPECT_NE(IniText().find("CurrentBlueProtect=500"), std::string::npos) << IniText();
}

TEST_F(TintwellCli, AdlListsTheAmdMachinesAdaptersAndDisplays) {
    UseExampleMachine("amd-laptop.json");
    const Outcome run = Tintwell({"adl"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_GE(lines.size(), 3u) << run.out;
    EXPECT_EQ(lines[0], "adapter 0: AMD Radeon(TM) Graphics");
    EXPECT_NE(run.out.find("info value 3, served: yes"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("info value 1, served: no"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("custom white point on CIE RGB: yes"), std::string::npos) << run.out;
}

TEST_F(TintwellCli, AdlOnAnIntelMachineIsNotFound) {
    const Outcome run = Tintwell({"adl"});
    EXPECT_EQ(run.exitCode, kExitLibraryFailure);
    EXPECT_EQ(run.err, "ADL is not found\n");
}

TEST_F(TintwellCli, DesktopRoadQueuesForTheLibrarysWorker) {
    CreateProgramDataFolder();
    const Outcome run = Tintwell({"temperature", "--road", "desktop", "1", "0.9", "0.8"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "result: 0\n");
}

// The worker sleeps in real time between gain writes; the tool ends only
// after the library's unload has let it finish.
TEST_F(TintwellCli, DesktopRoadReachesTheMonitorsBeforeTheToolEnds) {
    UseExampleMachine("desktop-makers-monitor.json");
    EchoDebugOutput();
    const Outcome run = Tintwell({"temperature", "--road", "desktop", "1", "0.9", "0.8"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "result: 0\n");
    const std::vector<std::string> lines = Lines(run.err);
    const auto served =
        std::find(lines.begin(), lines.end(), "[LCD MonitorEnumProc g_colorCurrentSet.fG] 90");
    ASSERT_NE(served, lines.end()) << run.err;
    EXPECT_NE(std::find(served, lines.end(), "[LCD SetMonitorRedGreenOrBlueGain set Ok]"),
              lines.end())
        << run.err;
}

TEST_F(TintwellCli, UnknownRoadIsAUsageError) {
    const Outcome run = Tintwell({"temperature", "--road", "magenta", "1", "1", "1"});
    EXPECT_EQ(run.exitCode, kExitUsage);
    EXPECT_NE(run.err.find("magenta"), std::string::npos) << run.err;
}

// A scene's frames as numbers: time_ms, cct, r, g, b.
std::vector<std::vector<double>> FrameRows(const std::string& csv) {
    std::vector<std::string> lines = Lines(csv);
    EXPECT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "time_ms,cct,r,g,b");
    std::vector<std::vector<double>> rows;
    for (auto line = std::next(lines.begin()); line != lines.end(); ++line) {
        std::vector<double> row;
        std::istringstream fields(*line);
        for (std::string field; std::getline(fields, field, ',');) {
            row.push_back(std::stod(field));
        }
        EXPECT_EQ(row.size(), 5u) << *line;
        rows.push_back(row);
    }
    return rows;
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// A transition of 50 frames: the steps, then the target once more.
void ExpectTransition(const std::vector<std::vector<double>>& rows, std::size_t first,
                      double fromCct, double step, double target, double startMs) {
    ASSERT_GE(rows.size(), first + 51);
    for (std::size_t i = 0; i < 51; ++i) {
        const auto& row = rows[first + i];
        EXPECT_EQ(row[0], startMs + 100.0 * static_cast<double>(i)) << "frame " << i;
        EXPECT_EQ(row[1], i < 50 ? fromCct + step * static_cast<double>(i + 1) : target)
            << "frame " << i;
    }
}

constexpr double kRampStep = 1.0 / 65535.0;

TEST_F(TintwellCli, NatureReadingMovesTheIntelRampFrameByFrameToTheMappedGains) {
    CreateProgramDataFolder();
    const std::string table =
        WriteScratchFile("table.csv", "cct,r,g,b\n5000,1,1,1\n6000,0.8,0.9,1\n");
    const std::string out = ScratchPath("scene");
    const Outcome run = Tintwell(
        {"nature", "--clock", "virtual", "--table", table, "--reading", "300:6000", "--out", out});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");

    const auto rows = FrameRows(ReadFile(fs::path(out) / "frames.csv"));
    ASSERT_EQ(rows.size(), 51u);
    ExpectTransition(rows, 0, 5000.0, 20.0, 6000.0, 0.0);
    EXPECT_NEAR(rows.back()[2], 0.8, kRampStep);
    EXPECT_NEAR(rows.back()[3], 0.9, kRampStep);
    EXPECT_NEAR(rows.back()[4], 1.0, kRampStep);
    EXPECT_NEAR(rows.front()[2], 1.0 - 0.2 * 0.02, kRampStep);

    const std::string svg = ReadFile(fs::path(out) / "frames.svg");
    EXPECT_TRUE(svg.starts_with("<?xml")) << svg;
    EXPECT_TRUE(svg.ends_with("</svg>\n"));
    EXPECT_EQ(Occurrences(svg, "<polyline"), 4u);
    EXPECT_EQ(Occurrences(svg, "<svg"), 1u);
    EXPECT_EQ(Occurrences(svg, "<text"), Occurrences(svg, "</text>"));
}

// The second reading comes in the middle of the first transition and starts
// a new one from the CCT reached.
TEST_F(TintwellCli, NatureScriptRestartsTheTransitionFromTheCctReached) {
    CreateProgramDataFolder();
    const std::string script =
        WriteScratchFile("script.csv", "time_ms,lux,kelvin\n0,300,6000\n2000,300,4000\n");
    const Outcome run = Tintwell({"nature", "--clock", "virtual", "--script", script});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const auto rows = FrameRows(run.out);
    ASSERT_EQ(rows.size(), 20u + 51u);
    EXPECT_EQ(rows[19][1], 5400.0);
    ExpectTransition(rows, 20, 5400.0, -28.0, 4000.0, 2000.0);
}

TEST_F(TintwellCli, NatureTypeOneTakesTheCctFromTheFirmwareEvent) {
    CreateProgramDataFolder();
    const Outcome run =
        Tintwell({"nature", "--clock", "virtual", "--type", "1", "--reading", "300:6000"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto rows = FrameRows(run.out);
    ASSERT_EQ(rows.size(), 51u);
    ExpectTransition(rows, 0, 5000.0, 20.0, 6000.0, 0.0);
}

TEST_F(TintwellCli, NatureMalformedInputsAreUsageErrors) {
    CreateProgramDataFolder();
    const std::string badTable = WriteScratchFile("bad.csv", "cct,r,g,b\n5000,1,one,1\n");
    const std::string descending = WriteScratchFile("down.csv", "6000,1,1,1\n5000,1,1,1\n");
    const std::string empty = WriteScratchFile("empty.csv", "cct,r,g,b\n");
    const std::string backwards = WriteScratchFile("script.csv", "500,300,6000\n100,300,5000\n");
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--table", badTable, "--reading", "300:6000"},
             {"--table", descending, "--reading", "300:6000"},
             {"--table", empty, "--reading", "300:6000"},
             {"--script", backwards},
             {"--reading", "300"},
             {"--reading", "300:-1"},
             {},
             {"--type", "2", "--reading", "300:6000"},
             {"--table", ScratchPath("missing.csv"), "--reading", "300:6000"}}) {
        std::vector<std::string> command = {"nature", "--clock", "virtual"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const Outcome run = Tintwell(command);
        EXPECT_EQ(run.exitCode, kExitUsage) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(IniText(), "");
}

// Readings from the command line follow each other once a transition has
// ended, which is with its last frame: the next one's first frame comes at
// once. A dark reading goes to the low-light CCT, and one within the
// difference threshold of the last target starts nothing.
TEST_F(TintwellCli, NatureConfigurationAndReadingsShapeTheFrames) {
    CreateProgramDataFolder();
    const std::string table =
        WriteScratchFile("table.csv", "\n 4000 , 1, 0.9, 0.8\n\n6000,1,1,1\n");
    const Outcome run = Tintwell({"nature", "--clock", "virtual", "--table", table, "--frames",
                                  "10", "--interval", "20", "--low-luma", "4500", "--reading",
                                  "300:6000", "--reading", "20:6000", "--reading", "300:4550"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto rows = FrameRows(run.out);
    ASSERT_EQ(rows.size(), 22u);
    for (std::size_t i = 0; i < 11; ++i) {
        EXPECT_EQ(rows[i][0], 20.0 * static_cast<double>(i));
        EXPECT_EQ(rows[i][1], std::min(5100.0 + 100.0 * static_cast<double>(i), 6000.0));
        EXPECT_EQ(rows[11 + i][0], 200.0 + 20.0 * static_cast<double>(i));
        EXPECT_EQ(rows[11 + i][1], std::max(5850.0 - 150.0 * static_cast<double>(i), 4500.0));
    }
    EXPECT_NEAR(rows.back()[3], 0.925, kRampStep);
    EXPECT_NEAR(rows.back()[4], 0.85, kRampStep);
}

// The scene completes the colour configuration a fresh machine lacks and
// keeps what the user stored: the circle's red gain is merged into every
// frame.
TEST_F(TintwellCli, NatureMergesTheStoredCircleGains) {
    CreateProgramDataFolder();
    ASSERT_EQ(Tintwell({"settings", "set", "CIRCLE", "R", "0.5"}).exitCode, 0);
    const std::string table = WriteScratchFile("table.csv", "5000,1,1,1\n6000,1,0.8,1\n");
    const Outcome run =
        Tintwell({"nature", "--clock", "virtual", "--table", table, "--reading", "300:6000"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto rows = FrameRows(run.out);
    ASSERT_EQ(rows.size(), 51u);
    EXPECT_NEAR(rows.back()[2], 0.5, kRampStep);
    EXPECT_NEAR(rows.back()[3], 0.8, kRampStep);
    EXPECT_NEAR(rows.back()[4], 1.0, kRampStep);
    EXPECT_EQ(Tintwell({"settings", "get", "CIRCLE", "R"}).out, "0.5\n");
    EXPECT_EQ(Tintwell({"settings", "get", "CIRCLE", "G"}).out, "1\n");
}

// On AMD graphics each frame moves the white point; the gains read back
// from it match the mapped ones up to the coordinates' 1/10000.
TEST_F(TintwellCli, NatureOnAmdGraphicsReadsTheGainsBackFromTheWhitePoint) {
    CreateProgramDataFolder();
    const std::string table =
        WriteScratchFile("table.csv", "cct,r,g,b\n5000,1,1,1\n6000,0.8,0.9,1\n");
    const Outcome run =
        Tintwell({"nature", "--clock", "virtual", "--machine",
                  (fs::path(TINTWELL_EXAMPLE_MACHINES) / "amd-laptop.json").string(), "--table",
                  table, "--reading", "300:6000"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto rows = FrameRows(run.out);
    ASSERT_EQ(rows.size(), 51u);
    ExpectTransition(rows, 0, 5000.0, 20.0, 6000.0, 0.0);
    constexpr double kWhitePointStep = 2e-3;
    EXPECT_NEAR(rows.back()[2], 0.8, kWhitePointStep);
    EXPECT_NEAR(rows.back()[3], 0.9, kWhitePointStep);
    EXPECT_NEAR(rows.back()[4], 1.0, kWhitePointStep);
}

// A desktop's graphics have no nature-colour road; a laptop without a light
// sensor has nothing to subscribe to.
TEST_F(TintwellCli, NatureRefusalsOfTheLibraryExitWithOne) {
    CreateProgramDataFolder();
    for (const auto& [machine, reason] :
         std::vector<std::array<std::string, 2>>{{"desktop-makers-monitor.json", "display type"},
                                                 {"no-light-sensor-laptop.json", "subscription"}}) {
        UseExampleMachine(machine);
        const Outcome run = Tintwell({"nature", "--clock", "virtual", "--reading", "300:6000"});
        EXPECT_EQ(run.exitCode, kExitLibraryFailure) << machine;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace

namespace {

// A laptop whose ramp another program overwrites every half second from
// 0.8 s on, five times.
constexpr const char* kOverwrittenLaptop = R"({"displays": {"adapters": [{
    "deviceName": "\\\\.\\DISPLAY1", "stateFlags": 5,
    "monitors": [{"deviceId": "MONITOR\\BOE0C8B\\{x}\\0001", "stateFlags": 3}]}]},
  "events": [{"event": "otherProgramRamp", "display": "\\\\.\\DISPLAY1", "gains": [1, 1, 1],
              "at": 800, "every": 500, "count": 5}]})";

}  // namespace

TEST_F(TintwellCli, VerifyAndGuardReadBackWhatTheyApplied) {
    CreateProgramDataFolder();
    UseMachine(WriteScratchFile("overwritten.json", kOverwrittenLaptop));
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::vector<std::string> inOut;
    };
    const Case cases[] = {
        {{"verify", "--road", "nvidia", "--gains", "1", "0.9", "0.8", "--json"},
         0,
         {R"("drifted": 0)", R"("gammaRamp": "holds or not applied")"}},
        {{"verify", "--road", "intel", "--gains", "1", "0.9", "0.8"},
         1,
         {"  hardware library: not verifiable\n"}},
        {{"guard", "--road", "nvidia", "--gains", "1", "0.9", "0.8", "--interval", "200", "--for",
          "3.5"},
         0,
         {"drifted (red[1] holds 257, loaded 256); putting it back", "is put back",
          "another program keeps changing the gamma ramp of \\\\.\\DISPLAY1"}},
        {{"guard", "--interval", "50", "--for", "1"}, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[0] + " " + c.arguments[1]);
        const Outcome run = Tintwell(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        for (const std::string& part : c.inOut) {
            EXPECT_NE(run.out.find(part), std::string::npos) << part << "\n" << run.out;
        }
    }
}
