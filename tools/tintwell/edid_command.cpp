#include "edid_command.h"

#include <CLI/CLI.hpp>

namespace tintwell_cli {

namespace {

constexpr const char* kExitCodes =
    "Exit codes: 0 the identity was printed; 1 the library refused the bytes, or the machine's "
    "panel EDID could not be read; 2 a malformed command line, an unreadable file, or a "
    "platform where the tool cannot reach the library's parser (Windows).";

}  // namespace

CLI::App* AddEdidCommand(CLI::App& app, EdidArguments& arguments) {
    CLI::App* edid = app.add_subcommand(
        "edid", "the panel identity (vendor, serial, week, year) the library reads from an EDID");
    edid->add_option("file", arguments.file,
                     "binary EDID file; without it, the machine's panel from the registry")
        ->check(CLI::ExistingFile);
    edid->add_flag("--json", arguments.json, "print one JSON object");
    edid->footer(kExitCodes);
    return edid;
}

}  // namespace tintwell_cli
