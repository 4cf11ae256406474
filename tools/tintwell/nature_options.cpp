#include <CLI/CLI.hpp>

#include "nature_command.h"

namespace tintwell_cli {

namespace {

constexpr const char* kExitCodes =
    "Exit codes: 0 the scene ran and its frames were written; 1 the library refused: "
    "no Intel or AMD graphics for nature colour, no Intel device id, the settings could not "
    "be stored, or the subscription was refused; 2 a malformed command line, an unreadable "
    "or malformed table, script or machine file, an output folder that cannot be written, "
    "or a platform without the simulated machine.";

void AddConfiguration(CLI::App& nature, NatureArguments& arguments) {
    nature.add_option("--table", arguments.table, "CSV of cct,r,g,b rows in ascending CCT")
        ->check(CLI::ExistingFile);
    nature.add_option("--frames", arguments.frames, "frames of a transition")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    nature.add_option("--interval", arguments.intervalMs, "milliseconds between frames")
        ->check(CLI::Range(1u, 60000u))
        ->capture_default_str();
    nature
        .add_option("--diff-thresh", arguments.diffThresh,
                    "CCT change (K) from the last target that starts a transition")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    nature.add_option("--low-luma", arguments.lowLuma, "CCT (K) used in low light")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    nature.add_option("--lux-thresh", arguments.luxThresh, "lux below which light is low")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
}

void AddScene(CLI::App& nature, NatureArguments& arguments) {
    nature
        .add_option("--type", arguments.type,
                    "0: lux and kelvin from the light sensor; 1: lux from the light sensor, "
                    "kelvin from the firmware's event 705")
        ->check(CLI::Range(0u, 1u))
        ->capture_default_str();
    nature.add_option("--reading", arguments.readings,
                      "LUX:KELVIN, repeatable; each once the transition before has ended");
    nature.add_option("--script", arguments.script, "CSV of time_ms,lux,kelvin rows")
        ->check(CLI::ExistingFile);
    nature
        .add_option("--machine", arguments.machine,
                    "machine description (default: TINTWELL_MACHINE, else the built-in "
                    "laptop)")
        ->check(CLI::ExistingFile);
    nature.add_option("--clock", arguments.clock, "machine clock: real, or virtual (instant)")
        ->check(CLI::IsMember({"real", "virtual"}))
        ->capture_default_str();
    nature.add_option("--out", arguments.outDir,
                      "folder for frames.csv and frames.svg (default: CSV on stdout)");
    nature.add_flag("--json", arguments.json,
                    "print one JSON object: the frames, and the files written with --out");
}

}  // namespace

CLI::App* AddNatureCommand(CLI::App& app, NatureArguments& arguments) {
    CLI::App* nature = app.add_subcommand(
        "nature", "play a nature-colour scene on the simulated machine and record its frames");
    AddConfiguration(*nature, arguments);
    AddScene(*nature, arguments);
    nature->footer(kExitCodes);
    return nature;
}

}  // namespace tintwell_cli
