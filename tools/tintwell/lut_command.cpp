#include "lut_command.h"

#include <windows.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>

#include <CLI/CLI.hpp>

#include "lut_block.h"
#include "block_report.h"
#include "json_text.h"
#include "machine_trace.h"
#include "lut_machine.h"
#include "settings_commands.h"

namespace tintwell_cli {

namespace {

// Larger than any golden file or firmware block the library accepts, many
// times over; a larger file is refused before it is read.
constexpr std::uintmax_t kMaxInspectedSize = 16 * 1024 * 1024;

constexpr const char* kMakeExitCodes =
    "Exit codes: 0 the file was written; 2 a malformed command line, an identity that does not "
    "fit the table header (vendor 4 characters, serial 8, week 0-99, year 0-9999), or a file "
    "that cannot be written.";
constexpr const char* kInspectExitCodes =
    "Exit codes: 0 the file holds a control header and every table it announces (the checks "
    "of each are in the report); 1 it does not, the firmware has no readable DLUT table, or "
    "(--machine) the panel's EDID cannot be read, which the Windows tool never can; the reason "
    "is on stderr; 2 a malformed command line or a file that cannot be read.";

constexpr const char* kApplyExitCodes =
    "Exit codes: 0 the driver took the table; 1 the library refused (the log names the step); 2 "
    "a malformed command line, or a machine where the tool cannot do this (apply needs the "
    "simulated machine).";

void AddMake(CLI::App& lut, LutCommand& command, LutArguments& arguments) {
    command.make = lut.add_subcommand("make", "write a golden file with the LUT block writer");
    CLI::App& make = *command.make;
    make.add_option("--out", arguments.out, "the file to write")->required();
    make.add_option("--vendor", arguments.vendor, "panel vendor, three letters and '#'")
        ->capture_default_str();
    make.add_option("--serial", arguments.serial, "panel serial number, 8 characters")
        ->capture_default_str();
    make.add_option("--week", arguments.week, "week of manufacture")
        ->check(CLI::Range(0u, 99u))
        ->capture_default_str();
    make.add_option("--year", arguments.year, "year of manufacture")
        ->check(CLI::Range(0u, 9999u))
        ->capture_default_str();
    make.add_option("--mode", arguments.modes,
                    "a table for this colour field mode (1 sRGB, 2 P3, 3 Adobe RGB), "
                    "repeatable, in file order")
        ->check(CLI::Range(0, 255))
        ->capture_default_str();
    make.add_flag("--block", arguments.makeBlock,
                  "write a firmware block (ACPI table header first) instead");
    make.footer(kMakeExitCodes);
}

void AddInspect(CLI::App& lut, LutCommand& command, LutArguments& arguments) {
    command.inspect =
        lut.add_subcommand("inspect", "report the control header and every table of a golden file");
    CLI::App& inspect = *command.inspect;
    CLI::Option* file =
        inspect.add_option("file", arguments.file, "golden file or dumped firmware block");
    CLI::Option* firmware = inspect.add_flag(
        "--firmware", arguments.firmware,
        "read the machine's DLUT firmware table instead of a file (a firmware block)");
    file->excludes(firmware);
    inspect.callback([file, firmware] {
        if (file->count() == 0 && firmware->count() == 0) {
            throw CLI::RequiredError("a FILE or --firmware");
        }
    });
    inspect.add_flag("--json", arguments.json, "one JSON object instead of text");
    inspect.add_flag("--block", arguments.block,
                     "the file is a firmware block: the control header follows a 52-byte "
                     "ACPI table header");
    inspect.add_flag("--machine", arguments.machine,
                     "also say whether each table belongs to the machine's panel, as the "
                     "library checks it (matchesPanel)");
    inspect.footer(kInspectExitCodes);
}

void AddApplyAndReset(CLI::App& lut, LutCommand& command, LutArguments& arguments) {
    command.apply = lut.add_subcommand(
        "apply",
        "load a colour field mode's factory table into the Intel driver, as the gamut "
        "switch does");
    command.apply->add_option("mode", arguments.mode, "0 off, 1 sRGB, 2 P3, 3 Adobe RGB")
        ->required();
    command.apply->add_flag("--json", arguments.json, "print one JSON object");
    command.apply->footer(kApplyExitCodes);
    command.reset =
        lut.add_subcommand("reset", "load and restore the identity table (ResetDisplayerLut3D)");
    command.reset->add_flag("--json", arguments.json, "print one JSON object");
    command.reset->footer(kApplyExitCodes);
}

// {"loaded": true or false, "machine": [...]}: what reached the driver.
template <typename Load>
int RunOnDriver(bool json, std::ostream& out, std::ostream& err, Load load) {
    if (!json) {
        return load(out, err);
    }
    const MachineTrace trace;
    std::ostringstream lines;
    const int exitCode = load(lines, err);
    out << R"({"loaded": )" << JsonBool(exitCode == kExitSuccess) << R"(, "machine": )"
        << JsonArray(trace.Lines()) << "}\n";
    return exitCode;
}

const char* Verdict(bool ok) {
    return ok ? "ok" : "mismatch";
}

std::string UpperCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

// The library's check: serial and vendor upper-cased, week and year as
// decimal numbers.
bool MatchesPanel(const lut_block::TableReport& table, const lut_block::PanelIdentity& panel) {
    try {
        return UpperCase(table.serial) == panel.serial && UpperCase(table.vendor) == panel.vendor &&
               std::stoi(table.week) == static_cast<std::int64_t>(panel.week) &&
               std::stoi(table.year) == static_cast<std::int64_t>(panel.year);
    } catch (const std::logic_error&) {
        return false;
    }
}

void PrintJson(const lut_block::BlockReport& report,
               const std::optional<lut_block::PanelIdentity>& panel, std::ostream& out) {
    const auto& control = report.control;
    out << R"({"control": {"headerLength": )" << control.headerLength << R"(, "tableCount": )"
        << control.tableCount << R"(, "tableSize": )" << control.tableSize << R"(, "checksumOk": )"
        << JsonBool(control.checksumOk) << R"(}, "tables": [)";
    const char* separator = "";
    for (const auto& table : report.tables) {
        out << separator << R"({"index": )" << table.index << R"(, "type": )"
            << unsigned{table.type} << R"(, "payloadLength": )" << table.payloadLength
            << R"(, "serial": ")" << Escaped(table.serial) << R"(", "vendor": ")"
            << Escaped(table.vendor) << R"(", "year": ")" << Escaped(table.year)
            << R"(", "week": ")" << Escaped(table.week) << R"(", "headerChecksumOk": )"
            << JsonBool(table.headerChecksumOk) << R"(, "digestOk": )" << JsonBool(table.digestOk);
        if (panel) {
            out << R"(, "matchesPanel": )" << JsonBool(MatchesPanel(table, *panel));
        }
        out << "}";
        separator = ", ";
    }
    out << "]}\n";
}

void PrintText(const lut_block::BlockReport& report,
               const std::optional<lut_block::PanelIdentity>& panel, std::ostream& out) {
    const auto& control = report.control;
    out << "control header: length " << control.headerLength << ", " << control.tableCount
        << " tables of " << control.tableSize << " bytes, checksum " << Verdict(control.checksumOk)
        << "\n";
    for (const auto& table : report.tables) {
        out << "table " << table.index << ": type " << unsigned{table.type} << ", payload "
            << table.payloadLength << " bytes, panel " << Escaped(table.vendor) << " "
            << Escaped(table.serial) << " week " << Escaped(table.week) << " year "
            << Escaped(table.year) << ", header checksum " << Verdict(table.headerChecksumOk)
            << ", digest " << Verdict(table.digestOk);
        if (panel) {
            out << ", " << (MatchesPanel(table, *panel) ? "this panel's" : "another panel's");
        }
        out << "\n";
    }
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::ostream& err) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        err << "cannot read " << path << ": " << error.message() << "\n";
        return false;
    }
    if (size > kMaxInspectedSize) {
        err << path << ": " << size << " bytes, larger than any LUT block\n";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        err << "cannot read " << path << "\n";
        return false;
    }
    return true;
}

// The table as the library reads it: a size query, then the read.
bool ReadFirmwareBlock(std::vector<std::uint8_t>& bytes, std::ostream& err) {
    const UINT size =
        GetSystemFirmwareTable(lut_block::kAcpiProvider, lut_block::kDlutTableId, nullptr, 0);
    if (size == 0) {
        err << "the firmware has no DLUT table (error " << GetLastError() << ")\n";
        return false;
    }
    bytes.assign(size, 0);
    const UINT read = GetSystemFirmwareTable(lut_block::kAcpiProvider, lut_block::kDlutTableId,
                                             bytes.data(), size);
    if (read == 0 || read > size) {
        err << "cannot read the DLUT firmware table (error " << GetLastError() << ")\n";
        return false;
    }
    bytes.resize(read);
    return true;
}

}  // namespace

LutCommand AddLutCommand(CLI::App& app, LutArguments& arguments) {
    LutCommand command;
    command.lut = app.add_subcommand("lut", "the firmware's 3D colour lookup tables");
    command.lut->require_subcommand(1);
    AddMake(*command.lut, command, arguments);
    AddInspect(*command.lut, command, arguments);
    AddApplyAndReset(*command.lut, command, arguments);
    return command;
}

int RunLut(const LutCommand& command, const LutArguments& arguments, std::ostream& out,
           std::ostream& err) {
    if (command.make->parsed()) {
        return MakeLutFile(arguments, out, err);
    }
    if (command.apply->parsed()) {
        return RunOnDriver(arguments.json, out, err, [&](std::ostream& to, std::ostream& errors) {
            return ApplyLut(arguments.mode, to, errors);
        });
    }
    if (command.reset->parsed()) {
        return RunOnDriver(arguments.json, out, err, ResetLut);
    }
    return InspectLutFile(arguments, out, err);
}

int MakeLutFile(const LutArguments& arguments, std::ostream& out, std::ostream& err) {
    const lut_block::PanelIdentity panel{arguments.vendor, arguments.serial, arguments.week,
                                         arguments.year};
    std::vector<std::uint8_t> bytes;
    try {
        bytes = arguments.makeBlock ? lut_block::MakeFirmwareBlock(panel, arguments.modes)
                                    : lut_block::MakeGoldenFile(panel, arguments.modes);
    } catch (const std::invalid_argument& error) {
        err << error.what() << "\n";
        return kExitUsage;
    }
    std::ofstream file(arguments.out, std::ios::binary | std::ios::trunc);
    if (!file.write(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<std::streamsize>(bytes.size())) ||
        !file.flush()) {
        err << "cannot write " << arguments.out << "\n";
        return kExitUsage;
    }
    out << "wrote " << bytes.size() << " bytes to " << arguments.out << "\n";
    return kExitSuccess;
}

int InspectLutFile(const LutArguments& arguments, std::ostream& out, std::ostream& err) {
    std::vector<std::uint8_t> bytes;
    if (arguments.firmware && !ReadFirmwareBlock(bytes, err)) {
        return kExitLibraryFailure;
    }
    if (!arguments.firmware && !ReadWholeFile(arguments.file, bytes, err)) {
        return kExitUsage;
    }
    std::optional<lut_block::PanelIdentity> panel;
    if (arguments.machine && !(panel = MachinePanel(err))) {
        return kExitLibraryFailure;
    }
    const std::string source = arguments.firmware ? "the DLUT firmware table" : arguments.file;
    const auto layout = arguments.block || arguments.firmware ? lut_block::Layout::FirmwareBlock
                                                              : lut_block::Layout::GoldenFile;
    try {
        const lut_block::BlockReport report = lut_block::ReadBlockReport(bytes, layout);
        if (arguments.json) {
            PrintJson(report, panel, out);
        } else {
            PrintText(report, panel, out);
        }
    } catch (const lut_block::NotABlock& error) {
        err << source << " is not a LUT block: " << error.what() << "\n";
        return kExitLibraryFailure;
    }
    return kExitSuccess;
}

}  // namespace tintwell_cli
