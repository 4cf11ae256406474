// The `verify` and `guard` commands: what the library applied, read back,
// and the library's guard run for a while. A tool process has applied
// nothing of its own, so both can first apply gains on one road.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tintwell_cli {

struct ColorStateArguments {
    std::string road;          // empty: apply nothing first
    std::vector<float> gains;  // r g b with a road
    unsigned interval = 1000;  // ms, guard
    double seconds = 10.0;     // guard
    bool json = false;
};

struct ColorStateCommand {
    CLI::App* verify = nullptr;
    CLI::App* guard = nullptr;
};

ColorStateCommand AddColorStateCommands(CLI::App& app, ColorStateArguments& arguments);
int RunColorState(const ColorStateCommand& command, const ColorStateArguments& arguments,
                  std::ostream& out, std::ostream& err);

}  // namespace tintwell_cli
