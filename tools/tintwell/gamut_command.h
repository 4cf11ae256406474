// The `digest` and `gamut` commands. `digest add` writes the records of a
// digest file that vouches for ICC profiles, `digest check` asks the library
// whether a profile passes; `gamut set` runs a whole gamut switch and
// `gamut current` reports the profile the main monitor uses. Each writes its
// answer to `out`, its complaints to `err`, and returns the process exit code.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tintwell_cli {

struct GamutArguments {
    std::string digestFile;
    std::vector<std::string> profiles;
    std::string profile;
    unsigned mode = 0;
    int road = -1;  // -1: keep the COLORFIELD SetType setting
    bool json = false;
};

struct GamutCommand {
    CLI::App* digest = nullptr;
    CLI::App* add = nullptr;
    CLI::App* check = nullptr;
    CLI::App* gamut = nullptr;
    CLI::App* set = nullptr;
    CLI::App* current = nullptr;
};

GamutCommand AddGamutCommands(CLI::App& app, GamutArguments& arguments);
// Appends one digest record per profile to `digestFile`, a line each on
// `out` (with `json` one object: {"added": [{"name", "sha256"}...]}); every
// profile is read first, so a bad one writes nothing.
int AddDigests(const std::string& digestFile, const std::vector<std::string>& profiles, bool json,
               std::ostream& out, std::ostream& err);

// What SetColorFieldMode's result means, in words.
const char* SwitchMeaning(int result);

// Runs whichever `digest` or `gamut` subcommand was parsed.
int RunGamut(const GamutCommand& command, const GamutArguments& arguments, std::ostream& out,
             std::ostream& err);

}  // namespace tintwell_cli
