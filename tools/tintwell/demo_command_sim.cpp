// The demo on the simulated machine: each step calls the exports as a
// front-end does and then tells, from the machine's own records, what reached
// the hardware.
#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "display_type.h"
#include "demo_command.h"
#include "gamut_command.h"
#include "guard_scene.h"
#include "hardware_commands.h"
#include "json_text.h"
#include "log_watch.h"
#include "lut_machine.h"
#include "machine_trace.h"
#include "nature_scene.h"
#include "scene_machine.h"
#include "settings_commands.h"
#include "sim/icc_profile_writer.h"
#include "sim/machine.h"
#include "tintwell/tintwell.h"
#include "white_point_record.h"
#include "whitepoint_command.h"
#include "whitepoint_machine.h"

namespace tintwell_cli {

namespace {

constexpr int kNotStored = INT_MIN;
constexpr int kDdcciRoad = 0;
constexpr int kFirmwareLutRoad = 1;
constexpr unsigned kSrgbMode = 1;
constexpr unsigned kP3Mode = 2;
constexpr float kManualKelvin = 4500.0f;
constexpr Reading kDaylight{300.0f, 6500.0f};
constexpr unsigned kDemoFrames = 50;
// A front-end moves a frame every 100 ms; the demo's transition takes a
// second instead of five.
constexpr unsigned kDemoIntervalMs = 20;
constexpr unsigned kFrontEndIntervalMs = 100;
constexpr std::size_t kBarWidth = 30;
constexpr std::size_t kDeviceTypeBuffer = 1024;
constexpr std::size_t kIccNameBuffer = 1024;
// The DDC/CI worker sends the desktop's gains in its own time; the demo
// waits until nothing more arrives for this long.
constexpr std::chrono::milliseconds kQuietAfterWorker{400};
constexpr std::chrono::milliseconds kWorkerPatience{10000};
constexpr const wchar_t* kProgramData = L"C:\\ProgramData\\Vozaz\\OrvLumivex";
constexpr const wchar_t* kSettingsFile = L"C:\\ProgramData\\Vozaz\\OrvLumivex\\Tintwell.ini";
constexpr const char* kProfileFolder = "C:\\ProgramData\\Vozaz\\OrvLumivex\\Profiles\\";
constexpr const char* kP3Profile = "DisplayP3.icc";
constexpr const char* kSrgbProfile = "sRGB.icc";
constexpr const char* kDigestFile = "gamut.sha";
constexpr const char* kGoldenLutFile = "Golden3DLut.bin";
constexpr std::array kLutModes{1, 2, 3};
constexpr const char* kIndent = "   ";

enum class Outcome { Done, Refused, Skipped };

const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Done:
            return "done";
        case Outcome::Refused:
            return "refused";
        default:
            return "skipped";
    }
}

struct StepReport {
    std::string name;
    Outcome outcome = Outcome::Done;
    std::string detail;
};

struct DemoFiles {
    std::optional<SceneFiles> scene;
    std::filesystem::path settings;
    std::filesystem::path log;
    std::optional<SceneFiles> guard;
    std::vector<std::string> guardTimeline;
};

sim::Machine& Machine() {
    return sim::Machine::Current();
}

std::string Fixed(double value, int decimals) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(decimals) << value;
    return text.str();
}

std::string Kelvin(double kelvin) {
    return Fixed(kelvin, 0) + " K";
}

std::string Gains(double r, double g, double b) {
    return "r " + Fixed(r, 4) + "  g " + Fixed(g, 4) + "  b " + Fixed(b, 4);
}

void PrintLines(std::ostream& out, const std::vector<std::string>& lines, std::string_view indent) {
    for (const std::string& line : lines) {
        out << indent << line << '\n';
    }
}

// The output of a command run as one step, indented under the step.
void PrintIndented(std::ostream& out, const std::string& text, std::string_view indent) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        out << indent << line << '\n';
    }
}

// The road a front-end takes for a manual colour temperature: the maker's
// monitors over DDC/CI on a desktop, the graphics vendor's road on a laptop,
// and Windows gamma ramps where neither serves.
std::string TemperatureRoad(int displayType) {
    if (IsDesktopComputer()) {
        return "desktop";
    }
    if (displayType == display_type::kIntel) {
        return "intel";
    }
    if (display_type::HasGraphicsRoad(displayType)) {
        return "amd";
    }
    return "nvidia";
}

std::string RoadWords(const std::string& road) {
    if (road == "desktop") {
        return "DDC/CI gains to every monitor (SetTemperatureForDesktopComputer)";
    }
    if (road == "intel") {
        return "the maker's hardware library (SetTemperatureForIntel)";
    }
    if (road == "amd") {
        return "the AMD Display Library (SetTemperatureForAMD)";
    }
    return "a Windows gamma ramp (SetTemperatureForNvidia)";
}

// A front-end switches the maker's monitors over DDC/CI and a panel with
// the firmware's 3D tables.
int GamutRoad() {
    return HaveOrvMonitor() ? kDdcciRoad : kFirmwareLutRoad;
}

StepReport Detect(std::ostream& out) {
    const int displayType = GetDisplayType();
    char deviceType[kDeviceTypeBuffer] = {};
    GetDeviceType(deviceType);
    InitMonitorId();
    const int monitorId = GetMonitorId(kNotStored);
    out << "1. What the library detected\n"
        << kIndent << "graphics          display type " << displayType << ", "
        << display_type::Name(displayType) << '\n'
        << kIndent << "device code name  " << (deviceType[0] != '\0' ? deviceType : "(none)")
        << '\n'
        << kIndent << "computer          " << (IsDesktopComputer() ? "desktop" : "laptop") << '\n'
        << kIndent << "monitors          " << GetPhyMonitorCount()
        << " counted by GetPhyMonitorCount; "
        << (HaveOrvMonitor() ? "the maker's monitor is attached" : "none of the maker's") << '\n'
        << kIndent << "Intel device id   "
        << (monitorId == kNotStored ? "(none)"
                                    : std::to_string(monitorId) + ", stored as MonitorId")
        << '\n';
    std::ostringstream reason;
    const auto panel = MachinePanel(reason);
    out << kIndent << "panel (EDID)      ";
    if (panel) {
        out << panel->vendor << ' ' << panel->serial << ", made in week " << panel->week << " of "
            << panel->year << '\n';
    } else {
        out << "none readable\n";
    }
    const std::string road = TemperatureRoad(displayType);
    out << kIndent << "roads             colour temperature: " << road
        << "; gamut: " << (GamutRoad() == kDdcciRoad ? "DDC/CI" : "firmware 3D LUT") << "\n\n";
    return {"detection", Outcome::Done,
            "display type " + std::to_string(displayType) + ", road " + road};
}

StepReport ManualTemperature(std::ostream& out, std::ostream& err) {
    const std::vector<TableRow> table = DefaultTable();
    const auto row = std::ranges::find(table, kManualKelvin, &TableRow::cct);
    const std::string road = TemperatureRoad(GetDisplayType());
    out << "2. A manual colour temperature of " << Kelvin(kManualKelvin) << '\n'
        << kIndent << "gains from the CCT table: " << Gains(row->r, row->g, row->b) << '\n'
        << kIndent << "road: " << RoadWords(road) << '\n';
    const MachineTrace trace;
    std::ostringstream result;
    const TemperatureArguments gains{road, static_cast<float>(row->r), static_cast<float>(row->g),
                                     static_cast<float>(row->b)};
    const int exitCode = ApplyTemperature(gains, result, err);
    PrintIndented(out, result.str(), kIndent);
    std::vector<std::string> lines = trace.Lines();
    if (road == "desktop") {
        const auto deadline = std::chrono::steady_clock::now() + kWorkerPatience;
        for (std::size_t seen = SIZE_MAX;
             seen != lines.size() && std::chrono::steady_clock::now() < deadline;) {
            seen = lines.size();
            std::this_thread::sleep_for(kQuietAfterWorker);
            lines = trace.Lines();
        }
    }
    out << kIndent << "reached the hardware:\n";
    PrintLines(out, lines.empty() ? std::vector<std::string>{"nothing"} : lines,
               std::string(kIndent) + "  ");
    out << '\n';
    const Outcome outcome = exitCode == kExitSuccess ? Outcome::Done : Outcome::Refused;
    return {"manual temperature", outcome, Kelvin(kManualKelvin) + " on the " + road + " road"};
}

std::string Bar(std::size_t done, std::size_t total) {
    const std::size_t filled = total == 0 ? kBarWidth : done * kBarWidth / total;
    return "[" + std::string(filled, '#') + std::string(kBarWidth - filled, ' ') + "]";
}

void PrintTable(std::ostream& out, const std::vector<TableRow>& table) {
    out << kIndent << "CCT table (the front-end's AddCctMappingInfo rows):\n";
    for (const TableRow& row : table) {
        out << kIndent << "  " << std::setw(6) << Kelvin(row.cct) << "  "
            << Gains(row.r, row.g, row.b) << '\n';
    }
}

void PrintFrames(std::ostream& out, const SceneFrames& frames) {
    const std::size_t total = frames.applied.size();
    for (std::size_t n = 0; n < total; ++n) {
        const FrameRow& frame = frames.applied[n];
        out << kIndent << "frame " << std::setw(2) << n + 1 << '/' << total << "  " << std::setw(6)
            << Kelvin(frame.cct) << "  " << Gains(frame.r, frame.g, frame.b) << "  "
            << Bar(n + 1, total) << '\n';
    }
}

StepReport NatureColour(const std::filesystem::path& outDir, DemoFiles& files, std::ostream& out,
                        std::ostream& err) {
    NatureArguments arguments;
    arguments.frames = kDemoFrames;
    arguments.intervalMs = kDemoIntervalMs;
    const SceneInputs inputs{DefaultTable(), {}, {kDaylight}};
    out << "3. Nature colour: the screen follows the ambient light\n";
    PrintTable(out, inputs.table);
    out << kIndent << kDemoFrames << " frames per transition, " << kDemoIntervalMs
        << " ms apart (a front-end's " << kFrontEndIntervalMs
        << " ms, shortened so that the demo takes a second)\n"
        << kIndent << "reading pushed into the light sensor: " << kDaylight.lux << " lux at "
        << Kelvin(kDaylight.kelvin) << '\n';
    try {
        const SceneFrames frames = PlayNatureScene(arguments, inputs, err);
        PrintFrames(out, frames);
        files.scene = WriteSceneFiles(outDir, frames);
        if (frames.applied.empty()) {
            out << kIndent << "no frame reached the hardware\n\n";
            return {"nature colour", Outcome::Refused, "no frame reached the hardware"};
        }
        const std::string detail = std::to_string(frames.applied.size()) + " frames from " +
                                   Kelvin(frames.applied.front().cct) + " to " +
                                   Kelvin(frames.applied.back().cct);
        out << kIndent << detail << " reached the hardware\n\n";
        return {"nature colour", Outcome::Done, detail};
    } catch (const LibraryRefusal& refusal) {
        out << kIndent << "skipped: " << refusal.what() << "\n\n";
        return {"nature colour", Outcome::Skipped, refusal.what()};
    }
}

void WriteBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    if (!stream
             .write(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<std::streamsize>(bytes.size()))
             .flush()) {
        throw SceneInputError("cannot write " + file.string());
    }
}

std::filesystem::path HostFile(const std::string& windowsPath) {
    return HostPath(std::wstring(windowsPath.begin(), windowsPath.end()));
}

// Both profiles written with Little CMS and vouched for in a fresh digest
// file, as the front-end's package ships them.
void PrepareProfiles(std::ostream& out, std::ostream& err) {
    const std::string folder(kProfileFolder);
    WriteBytes(HostFile(folder + kP3Profile), sim::MakeRgbProfile(sim::DisplayP3ColorSpace()));
    WriteBytes(HostFile(folder + kSrgbProfile), sim::MakeRgbProfile(sim::SrgbColorSpace()));
    const std::filesystem::path digest = HostFile(folder + kDigestFile);
    std::filesystem::remove(digest);
    std::ostringstream added;
    if (AddDigests(
            digest.string(),
            {HostFile(folder + kP3Profile).string(), HostFile(folder + kSrgbProfile).string()},
            false, added, err) != kExitSuccess) {
        throw SceneInputError("cannot write the digest file " + digest.string());
    }
    out << kIndent << "profiles written with Little CMS, vouched for by SHA-256 in " << folder
        << kDigestFile << ":\n";
    PrintIndented(out, added.str(), std::string(kIndent) + "  ");
}

// Once the panel was replaced the firmware's tables belong to another one; a
// front-end then hands the golden file of the fitted panel, which the demo
// makes with the block writer. The library reads it from beside the host
// executable.
void HandGoldenLutIfNeeded(int road, std::ostream& out) {
    // 0 is the library's "changed": the tables no longer match the panel.
    if (IsLcdChanged(kP3Mode, static_cast<unsigned>(road)) != 0) {
        return;
    }
    std::ostringstream ignored;
    const auto panel = MachinePanel(ignored);
    if (!panel) {
        return;
    }
    const std::filesystem::path host = HostPath(Machine().HostExecutable());
    WriteBytes(host.parent_path() / kGoldenLutFile,
               lut_block::MakeGoldenFile(*panel, {kLutModes.begin(), kLutModes.end()}));
    SetColorFieldGoldenFilePath((std::string("\\") + kGoldenLutFile).c_str());
    out << kIndent << "the firmware's 3D tables belong to another panel; handing the golden file "
        << kGoldenLutFile << " beside the host executable\n";
}

int SwitchGamut(unsigned mode, const char* profile, std::ostream& out) {
    const std::string folder(kProfileFolder);
    const MachineTrace trace;
    const LogWatch log;
    const int result =
        SetColorFieldMode(mode, (folder + profile).c_str(), (folder + kDigestFile).c_str());
    if (result == 0) {
        SetGetCurrentColorFieldMode(static_cast<int>(mode));
    }
    out << kIndent << "SetColorFieldMode(" << mode << ", " << profile << ") = " << result << ", "
        << SwitchMeaning(result) << '\n';
    PrintLines(out, trace.Lines(), std::string(kIndent) + "  ");
    PrintLines(out, log.Complaints(), std::string(kIndent) + "  ");
    std::array<char, kIccNameBuffer> name{};
    if (GetCurrentIccFileName(name.data()) == 0) {
        out << kIndent << "the main monitor's default profile is now " << name.data() << '\n';
    }
    return result;
}

StepReport GamutSwitch(std::ostream& out, std::ostream& err) {
    const int road = GamutRoad();
    out << "4. A gamut switch to Display P3, then back to sRGB\n"
        << kIndent << "road: "
        << (road == kDdcciRoad ? "a DDC/CI command to the maker's monitors"
                               : "the firmware's 3D table loaded into the Intel driver")
        << " (COLORFIELD SetType " << road << ")\n";
    SetColorFieldSetType(road);
    PrepareProfiles(out, err);
    HandGoldenLutIfNeeded(road, out);
    const int toP3 = SwitchGamut(kP3Mode, kP3Profile, out);
    const int back = SwitchGamut(kSrgbMode, kSrgbProfile, out);
    out << '\n';
    const Outcome outcome = toP3 == 0 && back == 0 ? Outcome::Done : Outcome::Refused;
    return {
        "gamut switch", outcome,
        "to P3: " + std::string(SwitchMeaning(toP3)) + "; back to sRGB: " + SwitchMeaning(back)};
}

// A front-end hands the golden record of the fitted panel once its
// firmware's record belongs to another one; the demo makes it with the
// record writer from the reference measurement.
std::string KeepGoldenIfNeeded(std::ostream& out, std::ostream& err) {
    const auto reading = ReadWhitePoint(std::nullopt);
    if (reading && reading->ready) {
        out << kIndent << "the firmware's record, checked against this panel's EDID\n";
        return "firmware";
    }
    std::ostringstream ignored;
    const auto panel = MachinePanel(ignored);
    if (!panel) {
        return "none";
    }
    const std::string golden =
        white_point_record::MakeRecord(*panel, white_point_record::ReferencePanelMeasurement());
    out << kIndent << "the firmware's record does not fit this panel; handing a golden record:\n"
        << kIndent << "  " << golden << '\n';
    KeepGolden(golden, ignored, err);
    return "golden";
}

StepReport WhitePoint(std::ostream& out, std::ostream& err) {
    out << "5. The factory white point\n";
    const int displayType = GetDisplayType();
    if (!display_type::HasGraphicsRoad(displayType)) {
        const std::string reason = "the white point moves on Intel or AMD graphics only";
        out << kIndent << "skipped: " << reason << "\n\n";
        return {"white point", Outcome::Skipped, reason};
    }
    const std::string source = KeepGoldenIfNeeded(out, err);
    std::ostringstream applied;
    std::ostringstream refusal;
    const int exitCode = MoveWhitePoint(true, false, applied, refusal);
    PrintIndented(out, applied.str() + refusal.str(), kIndent);
    out << '\n';
    if (exitCode != kExitSuccess) {
        return {"white point", Outcome::Refused, "no validated record (" + source + ")"};
    }
    return {"white point", Outcome::Done, source + " record applied"};
}

StepReport ColourGuard(const std::filesystem::path& outDir, DemoFiles& files, std::ostream& out) {
    const std::vector<TableRow> table = DefaultTable();
    const auto row = std::ranges::find(table, kManualKelvin, &TableRow::cct);
    out << "6. The colour stays: the library's guard against other programs and the monitor\n"
        << kIndent << "the screen at " << Kelvin(kManualKelvin)
        << " on its gamma ramp (and a served monitor's DDC/CI gains); another program loads\n"
        << kIndent << "its ramp, then the monitor is power-cycled (on a laptop: Windows resets "
        << "the ramps),\n"
        << kIndent << "then a program overwrites the ramp every 0.4 s\n";
    const GuardSceneResult scene = PlayGuardScene(row->r, row->g, row->b);
    if (scene.applied != 0 || scene.samples.empty()) {
        out << kIndent << "refused: the ramp was not applied or cannot be read\n\n";
        return {"colour guard", Outcome::Refused, "nothing to guard"};
    }
    files.guard = SceneFiles{outDir / "guard.csv", outDir / "guard.svg"};
    WriteGuardFiles(scene, files.guard->csv, files.guard->svg);
    files.guardTimeline = scene.timeline;
    out << kIndent << "timeline (sampled every 20 ms):\n";
    PrintLines(out, scene.timeline, std::string(kIndent) + "  ");
    out << kIndent << "the guard's lines:\n";
    PrintLines(out, scene.guardLines, std::string(kIndent) + "  ");
    out << '\n';
    return {"colour guard", Outcome::Done,
            std::to_string(scene.drifts) + " drifts, " + std::to_string(scene.putBacks) +
                " put back" + (scene.gaveWay ? "; gave way after three put-backs" : "")};
}

void PrintSummary(const std::vector<StepReport>& steps, const DemoFiles& files, std::ostream& out) {
    out << "Summary\n";
    for (const StepReport& step : steps) {
        out << kIndent << std::left << std::setw(20) << step.name << std::setw(9)
            << OutcomeName(step.outcome) << step.detail << '\n';
    }
    if (!files.guardTimeline.empty()) {
        out << "Guard timeline\n";
        PrintLines(out, files.guardTimeline, kIndent);
    }
    out << "Files\n";
    if (files.scene) {
        out << kIndent << "plot      " << files.scene->svg.string() << '\n'
            << kIndent << "frames    " << files.scene->csv.string() << '\n';
    }
    if (files.guard) {
        out << kIndent << "guard     " << files.guard->svg.string() << '\n'
            << kIndent << "samples   " << files.guard->csv.string() << '\n';
    }
    out << kIndent << "settings  " << files.settings.string() << '\n'
        << kIndent << "log       " << files.log.string() << '\n';
}

void PrintJson(const std::vector<StepReport>& steps, const DemoFiles& files, std::ostream& out) {
    out << R"({"machine": ")" << Escaped(Machine().Name()) << R"(", "steps": [)";
    for (std::size_t n = 0; n < steps.size(); ++n) {
        out << (n == 0 ? "" : ", ") << R"({"step": ")" << steps[n].name << R"(", "outcome": ")"
            << OutcomeName(steps[n].outcome) << R"(", "detail": ")" << Escaped(steps[n].detail)
            << "\"}";
    }
    out << R"(], "files": {)";
    if (files.scene) {
        out << R"("plot": ")" << Escaped(files.scene->svg.string()) << R"(", "frames": ")"
            << Escaped(files.scene->csv.string()) << "\", ";
    }
    if (files.guard) {
        out << R"("guardPlot": ")" << Escaped(files.guard->svg.string())
            << R"(", "guardSamples": ")" << Escaped(files.guard->csv.string()) << "\", ";
    }
    out << R"("settings": ")" << Escaped(files.settings.string()) << R"(", "log": ")"
        << Escaped(files.log.string()) << R"("}, "guardTimeline": )"
        << JsonArray(files.guardTimeline) << "}\n";
}

std::vector<StepReport> PlaySteps(const std::filesystem::path& outDir, DemoFiles& files,
                                  std::ostream& out, std::ostream& err) {
    std::vector<StepReport> steps;
    steps.push_back(Detect(out));
    steps.push_back(ManualTemperature(out, err));
    steps.push_back(NatureColour(outDir, files, out, err));
    steps.push_back(GamutSwitch(out, err));
    steps.push_back(WhitePoint(out, err));
    steps.push_back(ColourGuard(outDir, files, out));
    return steps;
}

}  // namespace

int RunDemo(const DemoArguments& arguments, std::ostream& out, std::ostream& err) {
    try {
        InstallSceneMachine(arguments.machine, "real");
        // The installer's part: the library creates its settings file, not
        // the folder that holds it.
        std::filesystem::create_directories(HostPath(kProgramData));
        const std::filesystem::path outDir = arguments.outDir.empty()
                                                 ? Machine().Root() / "demo"
                                                 : std::filesystem::path(arguments.outDir);
        std::ostringstream story;
        std::ostream& narrative = arguments.json ? story : out;
        narrative << "Tintwell demo on \"" << Machine().Name() << "\"\n\n";
        DemoFiles files{std::nullopt, HostPath(kSettingsFile), LibraryLogPath(), std::nullopt, {}};
        const std::vector<StepReport> steps = PlaySteps(outDir, files, narrative, err);
        if (arguments.json) {
            PrintJson(steps, files, out);
        } else {
            PrintSummary(steps, files, out);
        }
        return kExitSuccess;
    } catch (const SceneInputError& error) {
        err << "tintwell: " << error.what() << '\n';
        return kExitUsage;
    } catch (const std::filesystem::filesystem_error& error) {
        err << "tintwell: " << error.what() << '\n';
        return kExitUsage;
    }
}

}  // namespace tintwell_cli
