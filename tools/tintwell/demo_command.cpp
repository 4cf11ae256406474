#include "demo_command.h"

#include <CLI/CLI.hpp>

namespace tintwell_cli {

namespace {

constexpr const char* kDemoExitCodes =
    "Exit codes: 0 the demo ran to its end (a step the machine cannot take is reported as "
    "skipped or refused, with the reason); 2 a malformed command line, a machine description "
    "that cannot be read, a folder that cannot be written, or the Windows tool, which does "
    "not play the demo on a real machine.";

}  // namespace

CLI::App* AddDemoCommand(CLI::App& app, DemoArguments& arguments) {
    CLI::App* demo =
        app.add_subcommand("demo", "walk through what the library does, on the simulated machine");
    demo->add_option("--machine", arguments.machine,
                     "machine description (default: TINTWELL_MACHINE, else the built-in laptop)")
        ->check(CLI::ExistingFile);
    demo->add_option("--out", arguments.outDir,
                     "folder for the plot and the frames (default: demo in the machine's root)");
    demo->add_flag("--json", arguments.json, "print one JSON object instead of the story");
    demo->footer(kDemoExitCodes);
    return demo;
}

}  // namespace tintwell_cli
