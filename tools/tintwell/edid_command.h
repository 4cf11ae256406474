// The `edid` command: the panel identity as the library reads it from an EDID,
// from a file or from the machine's registry. Writes its answer to `out`, its
// complaints to `err`, and returns the process exit code.
#pragma once

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace tintwell_cli {

struct EdidArguments {
    std::string file;  // empty: the machine's panel
    bool json = false;
};

CLI::App* AddEdidCommand(CLI::App& app, EdidArguments& arguments);
int RunEdid(const EdidArguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace tintwell_cli
