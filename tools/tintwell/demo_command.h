// The `demo` command: a walk through what the library does, on the built-in
// laptop or a described machine, in plain words with the figures that
// matter. Writes its story (or, with --json, one object) to `out`, its
// complaints to `err`, and returns the process exit code.
#pragma once

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace tintwell_cli {

struct DemoArguments {
    std::string machine;  // empty: TINTWELL_MACHINE, else the built-in laptop
    std::string outDir;   // empty: "demo" in the machine's root
    bool json = false;
};

CLI::App* AddDemoCommand(CLI::App& app, DemoArguments& arguments);
int RunDemo(const DemoArguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace tintwell_cli
