// The `nature` command: plays a nature-colour scene on the simulated machine
// and reports every frame that reached the hardware. Writes its answer to
// `out`, its complaints (and, on a terminal, a progress bar) to `err`, and
// returns the process exit code.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tintwell_cli {

struct NatureArguments {
    std::string table;  // empty: the built-in table
    unsigned int frames = 50;
    unsigned int intervalMs = 100;
    float diffThresh = 100.0f;
    float lowLuma = 4000.0f;
    float luxThresh = 50.0f;
    unsigned int type = 0;
    std::vector<std::string> readings;  // LUX:KELVIN
    std::string script;
    std::string machine;  // empty: TINTWELL_MACHINE or the built-in laptop
    std::string clock = "real";
    std::string outDir;  // empty: the frames go to `out` as CSV
    bool json = false;
};

CLI::App* AddNatureCommand(CLI::App& app, NatureArguments& arguments);
int RunNature(const NatureArguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace tintwell_cli
