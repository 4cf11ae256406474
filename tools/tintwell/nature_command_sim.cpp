#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "display_type.h"
#include "json_text.h"
#include "nature_command.h"
#include "nature_scene.h"
#include "progress_bar.h"
#include "scene_machine.h"
#include "settings_commands.h"
#include "svg_plot.h"
#include "tintwell/tintwell.h"

namespace tintwell_cli {

namespace {

constexpr int kNoDeviceId = -1;
constexpr int kExportSuccess = 0;
constexpr unsigned int kForwardReadings = 1;
constexpr int kNatureColourOn = 1;
constexpr unsigned int kNatureFlag = 0;
constexpr int kEyeProtectOff = 0;
// Thousandths: the blue-protect ratio 1 leaves blue as it is.
constexpr int kBlueProtectNone = 1000;
constexpr double kUnchangedGain = 1.0;
constexpr std::string_view kErrorPrefix = "tintwell: ";
constexpr const char* kFramesCsv = "frames.csv";
constexpr const char* kFramesSvg = "frames.svg";

template <typename Parse>
auto ParseFile(const std::string& file, Parse parse) {
    std::ifstream in(file);
    if (!in) {
        throw SceneInputError("cannot open " + file);
    }
    try {
        return parse(in);
    } catch (const SceneInputError& error) {
        throw SceneInputError(file + ": " + error.what());
    }
}

SceneInputs LoadInputs(const NatureArguments& arguments) {
    SceneInputs inputs;
    inputs.table = arguments.table.empty() ? DefaultTable() : ParseFile(arguments.table, ReadTable);
    if (!arguments.script.empty()) {
        inputs.script = ParseFile(arguments.script, ReadScript);
    }
    for (const std::string& reading : arguments.readings) {
        inputs.readings.push_back(ParseReading(reading));
    }
    if (inputs.script.empty() && inputs.readings.empty()) {
        throw SceneInputError("the scene needs a --reading or a --script with rows");
    }
    return inputs;
}

int NatureDisplayType() {
    const int type = GetDisplayType();
    if (type != display_type::kIntel && type != display_type::kAmd) {
        throw LibraryRefusal(
            "nature colour runs on Intel or AMD graphics only; this machine's "
            "display type is " +
            std::to_string(type));
    }
    return type;
}

void LoadTable(const std::vector<TableRow>& table) {
    ClearMappingInfo();
    for (const TableRow& row : table) {
        AddCctMappingInfo(row.cct, row.r, row.g, row.b);
    }
}

void RequireStored(int result, const char* key) {
    if (result != kExportSuccess) {
        throw LibraryRefusal(std::string("cannot store ") + key +
                             ": the settings file cannot be written (does the machine's "
                             "program-data folder exist?)");
    }
}

// Every frame reads the colour configuration a front-end keeps, and skips
// the hardware while part of it is missing or negative: such keys get
// neutral values; what is stored stays.
template <typename T>
void StoreNeutralIfUnset(T (*get)(T), int (*set)(T), T neutral, const char* key) {
    constexpr T kUnset = -1;
    if (get(kUnset) < 0) {
        RequireStored(set(neutral), key);
    }
}

void StoreNeutralColourConfiguration() {
    StoreNeutralIfUnset(&GetEyeProtect, &SetEyeProtect, kEyeProtectOff, "EyeProtectValue");
    StoreNeutralIfUnset(&GetBlueProtect, &SetBlueProtect, kBlueProtectNone, "CurrentBlueProtect");
    StoreNeutralIfUnset(&GetCircleR, &SetCircleR, kUnchangedGain, "CIRCLE R");
    StoreNeutralIfUnset(&GetCircleG, &SetCircleG, kUnchangedGain, "CIRCLE G");
    StoreNeutralIfUnset(&GetCircleB, &SetCircleB, kUnchangedGain, "CIRCLE B");
}

void Configure(const NatureArguments& arguments, int displayType) {
    SetNatureColorAll(arguments.frames, arguments.intervalMs, kNatureFlag, arguments.diffThresh,
                      arguments.lowLuma, arguments.luxThresh);
    StoreNeutralColourConfiguration();
    RequireStored(SetIsNatureColor(kNatureColourOn), "IsNatureColor");
    InitMonitorId();
    if (displayType == display_type::kIntel && GetMonitorId(kNoDeviceId) == kNoDeviceId) {
        throw LibraryRefusal(
            "no Intel device id to store as MonitorId; frames would not "
            "reach the driver");
    }
}

// A subscription for the length of the scene.
class Subscription {
  public:
    explicit Subscription(unsigned int type) : type_(type) {
        const int result = StartMonitorNatureColor(type);
        if (result != kExportSuccess) {
            throw LibraryRefusal("the library refused the subscription of type " +
                                 std::to_string(type) + " (result " + std::to_string(result) + ")");
        }
        SetNatureColorStatus(kForwardReadings);
    }
    ~Subscription() { UninstallNatureColorObject(type_); }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;

  private:
    unsigned int type_;
};

// ADL loaded for the AMD road's frames, as a front-end brackets AMD work.
class AdlSession {
  public:
    explicit AdlSession(int displayType) : loaded_(displayType == display_type::kAmd) {
        if (loaded_) {
            InitAdlGamut();
        }
    }
    ~AdlSession() {
        if (loaded_) {
            UninitAdlGamut();
        }
    }
    AdlSession(const AdlSession&) = delete;
    AdlSession& operator=(const AdlSession&) = delete;

  private:
    bool loaded_;
};

// The progress bar of the transition each reading starts; a reading that
// starts none draws nothing.
class TransitionProgress {
  public:
    TransitionProgress(const SceneMachine& machine, unsigned int frames, std::ostream& err)
        : machine_(machine),
          // A transition applies its frames and then the target once more; a
          // frame count of 0 sets the target in one frame.
          expected_(frames == 0 ? 1 : frames + 1),
          bar_(err, ::isatty(STDERR_FILENO) != 0) {}

    void Started() {
        Ended();
        base_ = machine_.StoredFrames();
    }
    void Tick() {
        if (machine_.TransitionRunning()) {
            bar_.Update(machine_.StoredFrames() - base_, expected_);
        }
    }
    void Ended() {
        const std::size_t applied = machine_.StoredFrames() - base_;
        if (applied > 0) {
            bar_.Update(applied, expected_);
        }
        bar_.Finish();
        base_ = machine_.StoredFrames();
    }

  private:
    const SceneMachine& machine_;
    std::size_t expected_;
    ProgressBar bar_;
    std::size_t base_ = 0;
};

SceneFrames PlayScene(const NatureArguments& arguments, const SceneInputs& inputs, int displayType,
                      std::ostream& err) {
    const AdlSession adl(displayType);
    Subscription subscription(arguments.type);
    SceneMachine machine(arguments.type);
    TransitionProgress progress(machine, arguments.frames, err);
    const auto tick = [&progress] { progress.Tick(); };
    for (const ScriptEntry& entry : inputs.script) {
        machine.PushAt(entry.timeMs, entry.reading, tick);
        progress.Started();
    }
    for (const Reading& reading : inputs.readings) {
        machine.WaitTransitionEnd(tick);
        machine.Push(reading);
        progress.Started();
    }
    machine.WaitTransitionEnd(tick);
    progress.Ended();
    return machine.Frames(displayType);
}

template <typename Write>
void WriteFile(const std::filesystem::path& file, Write write) {
    std::ofstream out(file);
    write(out);
    out.flush();
    if (!out) {
        throw SceneInputError("cannot write " + file.string());
    }
}

// {"frames": [...], "withoutHardware": N} and, with --out, "csv" and "svg".
void WriteJson(const NatureArguments& arguments, const SceneFrames& frames, std::ostream& out) {
    out << "{\"frames\": ";
    WriteFramesJson(out, frames.applied);
    out << ", \"withoutHardware\": " << frames.withoutHardware;
    if (!arguments.outDir.empty()) {
        const SceneFiles files = WriteSceneFiles(arguments.outDir, frames);
        out << ", \"csv\": \"" << Escaped(files.csv.string()) << "\", \"svg\": \""
            << Escaped(files.svg.string()) << '"';
    }
    out << "}\n";
}

void WriteOutputs(const NatureArguments& arguments, const SceneFrames& frames, std::ostream& out) {
    if (arguments.json) {
        WriteJson(arguments, frames, out);
        return;
    }
    if (arguments.outDir.empty()) {
        WriteFramesCsv(out, frames.applied);
        return;
    }
    const SceneFiles files = WriteSceneFiles(arguments.outDir, frames);
    out << frames.applied.size() << " frames written to " << files.csv.string() << " and "
        << files.svg.string() << "\n";
}

}  // namespace

SceneFrames PlayNatureScene(const NatureArguments& arguments, const SceneInputs& inputs,
                            std::ostream& err) {
    const int displayType = NatureDisplayType();
    LoadTable(inputs.table);
    Configure(arguments, displayType);
    return PlayScene(arguments, inputs, displayType, err);
}

SceneFiles WriteSceneFiles(const std::filesystem::path& folder, const SceneFrames& frames) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        throw SceneInputError("cannot create " + folder.string() + ": " + error.message());
    }
    const SceneFiles files{folder / kFramesCsv, folder / kFramesSvg};
    WriteFile(files.csv, [&](std::ostream& file) { WriteFramesCsv(file, frames.applied); });
    WriteFile(files.svg, [&](std::ostream& file) { WriteSvgPlot(file, frames.applied); });
    return files;
}

int RunNature(const NatureArguments& arguments, std::ostream& out, std::ostream& err) {
    try {
        const SceneInputs inputs = LoadInputs(arguments);
        InstallSceneMachine(arguments.machine, arguments.clock);
        const SceneFrames frames = PlayNatureScene(arguments, inputs, err);
        if (frames.withoutHardware != 0) {
            err << kErrorPrefix << frames.withoutHardware
                << " frames stored a CCT but reached no hardware\n";
        }
        WriteOutputs(arguments, frames, out);
        return kExitSuccess;
    } catch (const SceneInputError& error) {
        err << kErrorPrefix << error.what() << "\n";
        return kExitUsage;
    } catch (const LibraryRefusal& error) {
        err << kErrorPrefix << error.what() << "\n";
        return kExitLibraryFailure;
    }
}

}  // namespace tintwell_cli
