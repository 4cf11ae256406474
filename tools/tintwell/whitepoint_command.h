// The `whitepoint` command: the factory white point record. `show` reports
// the record the library validated and where it came from, `make` writes a
// record with the record writer, `golden` keeps the golden record that every
// later `whitepoint` command hands to the library first (as a front-end does
// at start-up), `apply` and `reset` move the panel's white point on the
// machine's road. Each writes its answer to `out`, its complaints to `err`,
// and returns the process exit code.
#pragma once

#include <iosfwd>
#include <string>
#include <utility>

#include "white_point_record.h"

namespace CLI {
class App;
}

namespace tintwell_cli {

struct WhitePointArguments {
    bool json = false;

    lut_block::PanelIdentity panel;
    white_point_record::Measurement measurement = white_point_record::ReferencePanelMeasurement();

    std::string golden;
};

struct WhitePointCommand {
    CLI::App* whitepoint = nullptr;
    CLI::App* show = nullptr;
    CLI::App* make = nullptr;
    CLI::App* golden = nullptr;
    CLI::App* apply = nullptr;
    CLI::App* reset = nullptr;
};

WhitePointCommand AddWhitePointCommand(CLI::App& app, WhitePointArguments& arguments);
// Keeps `text` as the golden record that every later `whitepoint` command
// hands to the library first.
int KeepGolden(const std::string& text, std::ostream& out, std::ostream& err);

// `apply` or `reset` on the machine's road (Intel or AMD), with the stored
// gains and what reached the hardware; with `json` one object: {"road",
// "result", "gains" (null when not stored), "machine"}.
int MoveWhitePoint(bool apply, bool json, std::ostream& out, std::ostream& err);

// Runs whichever subcommand was parsed.
int RunWhitePoint(const WhitePointCommand& command, const WhitePointArguments& arguments,
                  std::ostream& out, std::ostream& err);

}  // namespace tintwell_cli
