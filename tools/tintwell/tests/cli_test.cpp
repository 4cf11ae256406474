#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

constexpr int kExitLibraryFailure = 1;
constexpr int kExitUsage = 2;
constexpr std::size_t kSettingCount = 38;
constexpr const char* kProgramDataFolder = "C/ProgramData/Vozaz/OrvLumivex";
constexpr const char* kIniFileName = "Tintwell.ini";

// A machine folder of its own, removed with everything in it.
class TempRoot {
  public:
    TempRoot() {
        std::string pattern = (fs::temp_directory_path() / "tintwell-cli-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw fs::filesystem_error("mkdtemp", std::make_error_code(std::errc(errno)));
        }
        path_ = pattern;
    }
    ~TempRoot() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

class SpawnFileActions {
  public:
    SpawnFileActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnFileActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnFileActions(const SpawnFileActions&) = delete;
    SpawnFileActions& operator=(const SpawnFileActions&) = delete;

    void Redirect(int descriptor, const fs::path& file) {
        posix_spawn_file_actions_addopen(&actions_, descriptor, file.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    const posix_spawn_file_actions_t* Get() const { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_;
};

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

class TintwellCli : public ::testing::Test {
  protected:
    // The tool sees only this environment: its own machine root and log file,
    // and the machine description when a test names one.
    Outcome Tintwell(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), TINTWELL_CLI_PATH);
        std::vector<std::string> environment = {
            "TINTWELL_ROOT=" + root_.Path().string(),
            "TINTWELL_LOG_FILE=" + (root_.Path() / "tintwell.log").string()};
        if (!machine_.empty()) {
            environment.push_back("TINTWELL_MACHINE=" + machine_);
        }
        if (echoDebugOutput_) {
            environment.push_back("TINTWELL_DEBUG_OUTPUT=1");
        }
        const fs::path out = root_.Path() / "stdout.txt";
        const fs::path err = root_.Path() / "stderr.txt";
        SpawnFileActions actions;
        actions.Redirect(STDOUT_FILENO, out);
        actions.Redirect(STDERR_FILENO, err);

        pid_t child = 0;
        const std::vector<char*> argv = Pointers(arguments);
        const std::vector<char*> envp = Pointers(environment);
        if (posix_spawn(&child, TINTWELL_CLI_PATH, actions.Get(), nullptr, argv.data(),
                        envp.data()) != 0) {
            ADD_FAILURE() << "cannot start " << TINTWELL_CLI_PATH;
            return {};
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
    }

    void UseExampleMachine(const std::string& file) {
        machine_ = (fs::path(TINTWELL_EXAMPLE_MACHINES) / file).string();
    }
    // The library's debug output goes to the tool's stderr as well.
    void EchoDebugOutput() { echoDebugOutput_ = true; }
    fs::path ProgramDataFolder() const { return root_.Path() / kProgramDataFolder; }
    void CreateProgramDataFolder() const { fs::create_directories(ProgramDataFolder()); }
    std::string IniText() const { return ReadFile(ProgramDataFolder() / kIniFileName); }

  private:
    static std::vector<char*> Pointers(std::vector<std::string>& texts) {
        std::vector<char*> pointers;
        for (std::string& text : texts) {
            pointers.push_back(text.data());
        }
        pointers.push_back(nullptr);
        return pointers;
    }

    TempRoot root_;
    std::string machine_;
    bool echoDebugOutput_ = false;
};

TEST_F(TintwellCli, IntRoundTripsThroughSetAndGet) {
    CreateProgramDataFolder();
    const Outcome set = Tintwell({"settings", "set", "TEMPERATURE", "CurrentTemperature", "6500"});
    EXPECT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(set.out, "");

    const Outcome get = Tintwell({"settings", "get", "TEMPERATURE", "CurrentTemperature"});
    EXPECT_EQ(get.exitCode, 0);
    EXPECT_EQ(get.out, "6500\n");
}

TEST_F(TintwellCli, ValuesEqualToAProbeDefaultAreStillFound) {
    CreateProgramDataFolder();
    for (const char* extreme : {"-2147483648", "2147483647"}) {
        ASSERT_EQ(
            Tintwell({"settings", "set", "TEMPERATURE", "CurrentTemperature", extreme}).exitCode,
            0);
        EXPECT_EQ(Tintwell({"settings", "get", "TEMPERATURE", "CurrentTemperature"}).out,
                  std::string(extreme) + "\n");
    }
}

TEST_F(TintwellCli, DoublePrintsRoundTripDigitsAndIsStoredWithTwenty) {
    CreateProgramDataFolder();
    ASSERT_EQ(Tintwell({"settings", "set", "CIRCLE", "R", "0.1"}).exitCode, 0);

    EXPECT_EQ(Tintwell({"settings", "get", "CIRCLE", "R"}).out, "0.10000000000000001\n");
    EXPECT_NE(IniText().find("R=0.10000000000000000555"), std::string::npos) << IniText();
}

TEST_F(TintwellCli, FloatPrintsRoundTripDigits) {
    CreateProgramDataFolder();
    ASSERT_EQ(Tintwell({"settings", "set", "WHITEPOINT", "WhitePointR", "0.3"}).exitCode, 0);

    EXPECT_EQ(Tintwell({"settings", "get", "WHITEPOINT", "WhitePointR"}).out, "0.300000012\n");
}

TEST_F(TintwellCli, SectionAndKeyMatchCaseInsensitively) {
    CreateProgramDataFolder();
    ASSERT_EQ(Tintwell({"settings", "set", "natureColor", "MONITORID", "2"}).exitCode, 0);

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

TEST_F(TintwellCli, TemperatureRoadsReportTheLibrarysResult) {
    CreateProgramDataFolder();
    const Outcome intel = Tintwell(
        {"temperature", "--road", "intel", "1", "0.5", "0.25", "--level", "40", "--ratio", "0.35"});
    EXPECT_EQ(intel.exitCode, 0) << intel.err;
    EXPECT_EQ(intel.out, "result: 0\n");
    EXPECT_NE(IniText().find("CurrentBlueProtect=350"), std::string::npos) << IniText();

    const Outcome black = Tintwell({"temperature", "--road", "nvidia", "0", "0", "0"});
    EXPECT_EQ(black.exitCode, kExitLibraryFailure);
    EXPECT_EQ(black.out, "result: -1\n");
}

TEST_F(TintwellCli, AmdRoadReportsTheLibrarysRefusalWithoutAmdGraphics) {
    CreateProgramDataFolder();
    const Outcome run = Tintwell({"temperature", "--road", "amd", "1", "1", "1"});
    EXPECT_EQ(run.exitCode, kExitLibraryFailure) << run.err;
    EXPECT_EQ(run.out, "result: -1\n");
    EXPECT_EQ(IniText(), "");
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

}  // namespace
