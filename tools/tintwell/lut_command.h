// The `lut` command: the firmware's 3D LUT data. `make` writes a golden file
// (or a firmware block) with the block writer, `inspect` reports what a file
// or the machine's firmware holds, `apply` and `reset` load a mode's table or
// the identity table into the driver. Each writes its answer to `out`, its complaints to `err`, and
// returns the process exit code.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tintwell_cli {

struct LutArguments {
    std::string out;
    std::string vendor = "BOE#";
    std::string serial = "68000000";
    unsigned week = 36;
    unsigned year = 2023;
    std::vector<int> modes{1, 2, 3};
    bool makeBlock = false;

    std::string file;
    bool json = false;
    bool block = false;
    bool firmware = false;
    bool machine = false;

    std::uint32_t mode = 0;
};

struct LutCommand {
    CLI::App* lut = nullptr;
    CLI::App* make = nullptr;
    CLI::App* inspect = nullptr;
    CLI::App* apply = nullptr;
    CLI::App* reset = nullptr;
};

LutCommand AddLutCommand(CLI::App& app, LutArguments& arguments);
// Runs whichever subcommand was parsed.
int RunLut(const LutCommand& command, const LutArguments& arguments, std::ostream& out,
           std::ostream& err);

int MakeLutFile(const LutArguments& arguments, std::ostream& out, std::ostream& err);
int InspectLutFile(const LutArguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace tintwell_cli
