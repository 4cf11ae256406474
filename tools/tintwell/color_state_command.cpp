#include "color_state_command.h"

#include <chrono>
#include <ostream>
#include <thread>

#include <CLI/CLI.hpp>

#include "hardware_commands.h"
#include "json_text.h"
#include "log_watch.h"
#include "settings_commands.h"
#include "tintwell/tintwell.h"

namespace tintwell_cli {

namespace {

constexpr auto kGuardPoll = std::chrono::milliseconds(100);

constexpr const char* kVerifyExitCodes =
    "Exit codes: 0 everything applied holds (or nothing was); 1 a road drifted, cannot be read "
    "back, or the first road refused; 2 a malformed command line.";
constexpr const char* kGuardExitCodes =
    "Exit codes: 0 the guard ran for its time; 1 it could not start, or the first road refused; "
    "2 a malformed command line.";

struct RoadBit {
    unsigned bit;
    const char* name;
    const char* key;
    const char* set;
    const char* clear;
};
constexpr RoadBit kRoadBits[] = {
    {TW_COLOR_STATE_GAMMA_RAMP, "gamma ramp", "gammaRamp", "drifted", "holds or not applied"},
    {TW_COLOR_STATE_MONITOR_GAINS, "DDC/CI gains", "monitorGains", "drifted",
     "holds or not applied"},
    {TW_COLOR_STATE_GAMUT_PROFILE, "default profile", "gamutProfile", "drifted",
     "holds or not applied"},
    {TW_COLOR_STATE_AMD_GAMUT, "AMD gamut", "amdGamut", "drifted", "holds or not applied"},
    {TW_COLOR_STATE_INTEL_DRIVER, "Intel driver", "intelDriver", "not verifiable", "not applied"},
    {TW_COLOR_STATE_HARDWARE_LIBRARY, "hardware library", "hardwareLibrary", "not verifiable",
     "not applied"},
    {TW_COLOR_STATE_ADL_NOT_LOADED, "ADL", "adl", "not loaded to read back", "not needed"},
};

// The gains a command applies first; kExitSuccess when there are none.
int ApplyFirst(const ColorStateArguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.road.empty()) {
        return kExitSuccess;
    }
    TemperatureArguments gains;
    gains.road = arguments.road;
    gains.r = arguments.gains[0];
    gains.g = arguments.gains[1];
    gains.b = arguments.gains[2];
    return ApplyTemperature(gains, out, err);
}

int Verify(const ColorStateArguments& arguments, std::ostream& out) {
    const LogWatch log;
    unsigned drifted = 0;
    const int result = VerifyColorState(&drifted);
    if (arguments.json) {
        out << R"({"result": )" << result << R"(, "drifted": )" << drifted << R"(, "roads": {)";
        for (const RoadBit& road : kRoadBits) {
            out << (&road == kRoadBits ? "" : ", ") << '"' << road.key << R"(": ")"
                << ((drifted & road.bit) != 0 ? road.set : road.clear) << '"';
        }
        out << R"(}, "log": )" << JsonArray(log.Complaints()) << "}\n";
    } else {
        out << "result  " << result << '\n';
        for (const RoadBit& road : kRoadBits) {
            out << "  " << road.name << ": " << ((drifted & road.bit) != 0 ? road.set : road.clear)
                << '\n';
        }
        for (const std::string& line : log.Complaints()) {
            out << "  " << line << '\n';
        }
    }
    return result == 0 && drifted == 0 ? kExitSuccess : kExitLibraryFailure;
}

// The guard's lines as they come: each drift, put-back and back-off is a
// warning of the library's.
int Guard(const ColorStateArguments& arguments, std::ostream& out, std::ostream& err) {
    const LogWatch log;
    if (StartColorStateGuard(arguments.interval) != 0) {
        err << "tintwell: the guard did not start (interval 100 … 3600000 ms)\n";
        return kExitLibraryFailure;
    }
    out << "guarding every " << arguments.interval << " ms for " << arguments.seconds << " s\n";
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                         std::chrono::duration<double>(arguments.seconds));
    std::size_t printed = 0;
    const auto printNew = [&] {
        const std::vector<std::string> lines = log.Complaints();
        for (; printed < lines.size(); ++printed) {
            out << "  " << lines[printed] << '\n' << std::flush;
        }
    };
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(kGuardPoll);
        printNew();
    }
    StopColorStateGuard();
    printNew();
    return kExitSuccess;
}

void AddApplyOptions(CLI::App& command, ColorStateArguments& arguments) {
    CLI::Option* road = command.add_option("--road", arguments.road,
                                           "apply gains first: intel, nvidia, desktop or amd");
    command.add_option("--gains", arguments.gains, "R G B for --road")->expected(3)->needs(road);
    road->needs("--gains");
}

}  // namespace

ColorStateCommand AddColorStateCommands(CLI::App& app, ColorStateArguments& arguments) {
    ColorStateCommand command;
    command.verify = app.add_subcommand(
        "verify", "read back what the library applied, road by road, against what it applied");
    AddApplyOptions(*command.verify, arguments);
    command.verify->add_flag("--json", arguments.json, "print one JSON object");
    command.verify->footer(kVerifyExitCodes);
    command.guard = app.add_subcommand(
        "guard", "run the library's guard, printing a line per drift and put-back");
    AddApplyOptions(*command.guard, arguments);
    command.guard->add_option("--interval", arguments.interval, "ms between passes")
        ->capture_default_str();
    command.guard->add_option("--for", arguments.seconds, "seconds to guard")
        ->capture_default_str()
        ->check(CLI::PositiveNumber);
    command.guard->footer(kGuardExitCodes);
    return command;
}

int RunColorState(const ColorStateCommand& command, const ColorStateArguments& arguments,
                  std::ostream& out, std::ostream& err) {
    if (const int applied = ApplyFirst(arguments, out, err); applied != kExitSuccess) {
        return applied;
    }
    return command.verify->parsed() ? Verify(arguments, out) : Guard(arguments, out, err);
}

}  // namespace tintwell_cli
