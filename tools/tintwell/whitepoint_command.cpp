#include "display_type.h"
#include "whitepoint_command.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <system_error>
#include <vector>

#include <CLI/CLI.hpp>

#include "json_text.h"
#include "machine_trace.h"
#include "settings_commands.h"
#include "tintwell/tintwell.h"
#include "whitepoint_machine.h"

namespace tintwell_cli {

namespace {

// Where the tool keeps the golden record between runs, beside the INI file.
constexpr std::wstring_view kGoldenRecordFile =
    L"C:\\ProgramData\\Vozaz\\OrvLumivex\\whitepoint-golden.txt";
constexpr std::uint32_t kCoordinateScale = 10000;
constexpr std::size_t kCoordinateDigits = 4;
constexpr float kNotStored = -1.0f;

constexpr const char* kShowExitCodes =
    "Exit codes: 0 a validated record is in place; 1 there is none (the firmware's record is "
    "missing, malformed or measured on another panel, and no usable golden record was given), "
    "with the reason on stderr; 2 a malformed command line, or on Windows, where the tool "
    "reaches only the exports.";
constexpr const char* kMakeExitCodes =
    "Exit codes: 0 the record was printed; 2 a malformed command line, or a value that does not "
    "fit the record (vendor 4 characters, serial 8, week 0-99, year 0-9999, coordinates "
    "0-0.9999).";
constexpr const char* kGoldenExitCodes =
    "Exit codes: 0 the golden record was kept; 2 a malformed command line, or a file that "
    "cannot be written.";
constexpr const char* kRoadExitCodes =
    "Exit codes: 0 the library moved the white point; 1 it refused (no validated record, a "
    "display type without a white point road, or hardware that refused; the log names the "
    "step); 2 a malformed command line.";

// A record number over 10000, exactly: 3096 is 0.3096.
std::string Coordinate(std::uint32_t value) {
    std::string fraction = std::to_string(value % kCoordinateScale);
    fraction.insert(0, kCoordinateDigits - fraction.size(), '0');
    return std::to_string(value / kCoordinateScale) + "." + fraction;
}

// "X,Y" as two decimal numbers; the writer checks their range.
white_point_record::Chromaticity ParsePoint(const std::string& text) {
    const std::size_t comma = text.find(',');
    std::array<double, 2> values{};
    const std::array<std::string_view, 2> parts{
        std::string_view(text).substr(0, comma),
        comma == std::string::npos ? std::string_view() : std::string_view(text).substr(comma + 1)};
    for (std::size_t n = 0; n < parts.size(); ++n) {
        const char* end = parts[n].data() + parts[n].size();
        const auto [last, error] = std::from_chars(parts[n].data(), end, values[n]);
        if (parts[n].empty() || error != std::errc() || last != end) {
            throw CLI::ValidationError("'" + text + "' is not X,Y (two decimal numbers)");
        }
    }
    return {values[0], values[1]};
}

void AddPoint(CLI::App& make, const std::string& name, white_point_record::Chromaticity& point) {
    const auto scaled = [](double value) {
        return Coordinate(static_cast<std::uint32_t>(std::lround(value * kCoordinateScale)));
    };
    const std::string defaults = scaled(point.x) + "," + scaled(point.y);
    make.add_option_function<std::string>(
            "--" + name, [&point](const std::string& text) { point = ParsePoint(text); },
            "measured " + name + " as X,Y (default " + defaults + ")")
        ->type_name("X,Y");
}

void AddMake(CLI::App& whitepoint, WhitePointCommand& command, WhitePointArguments& arguments) {
    command.make =
        whitepoint.add_subcommand("make", "print a white point record made by the record writer");
    CLI::App& make = *command.make;
    make.add_option("--vendor", arguments.panel.vendor, "panel vendor, three letters and '#'")
        ->capture_default_str();
    make.add_option("--serial", arguments.panel.serial, "panel serial number, 8 hex digits")
        ->capture_default_str();
    make.add_option("--week", arguments.panel.week, "week of manufacture")->capture_default_str();
    make.add_option("--year", arguments.panel.year, "year of manufacture")->capture_default_str();
    AddPoint(make, "white", arguments.measurement.white);
    AddPoint(make, "red", arguments.measurement.red);
    AddPoint(make, "green", arguments.measurement.green);
    AddPoint(make, "blue", arguments.measurement.blue);
    make.footer(kMakeExitCodes);
}

std::optional<std::string> ReadGolden() {
    std::ifstream in(HostPath(kGoldenRecordFile), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// As a front-end does at start-up: the golden record, before anything asks
// for the white point.
std::optional<std::string> HandGolden() {
    auto golden = ReadGolden();
    if (golden) {
        SetWhitePointGoldenData(golden->c_str());
    }
    return golden;
}

int PrintRecord(const WhitePointArguments& arguments, std::ostream& out, std::ostream& err) {
    try {
        out << white_point_record::MakeRecord(arguments.panel, arguments.measurement) << '\n';
    } catch (const std::invalid_argument& error) {
        err << "tintwell: " << error.what() << '\n';
        return kExitUsage;
    }
    return kExitSuccess;
}

unsigned ChecksumValue(const std::string& hex) {
    return static_cast<unsigned>(std::stoul(hex, nullptr, 16));
}

bool ChecksumOk(const RecordInUse& record) {
    return record.text.size() >= white_point_record::kChecksummedLength &&
           ChecksumValue(white_point_record::Checksum(
               std::string_view(record.text).substr(0, white_point_record::kChecksummedLength))) ==
               record.info.checksum;
}

bool MatchesPanel(const WhitePointAdjustInfo& record, const discovery::EdidTextIdentity& panel) {
    return record.serialNumber == panel.serialNumber && record.manufacturerId == panel.vendor &&
           record.year == panel.year && record.week == panel.week;
}

// White, red, green and blue, x then y, each times 10000.
std::array<std::uint32_t, 8> Coordinates(const WhitePointAdjustInfo& record) {
    return {record.whiteX, record.whiteY, record.redX,  record.redY,
            record.greenX, record.greenY, record.blueX, record.blueY};
}

constexpr std::array<const char*, 4> kPointNames{"white", "red", "green", "blue"};

void PrintJson(const WhitePointReading& reading, std::ostream& out) {
    const WhitePointAdjustInfo& record = reading.record->info;
    const auto coordinates = Coordinates(record);
    out << R"({"ready": true, "source": ")" << (reading.golden ? "golden" : "firmware") << '"';
    for (std::size_t n = 0; n < kPointNames.size(); ++n) {
        out << R"(, ")" << kPointNames[n] << R"(": [)" << Coordinate(coordinates[2 * n]) << ", "
            << Coordinate(coordinates[2 * n + 1]) << ']';
    }
    out << R"(, "serial": ")" << Escaped(record.serialNumber) << R"(", "vendor": ")"
        << Escaped(record.manufacturerId) << R"(", "year": ")" << Escaped(record.year)
        << R"(", "week": ")" << Escaped(record.week) << R"(", "checksumOk": )"
        << JsonBool(ChecksumOk(*reading.record)) << R"(, "matchesPanel": )"
        << JsonBool(MatchesPanel(record, reading.panel)) << "}\n";
}

void PrintText(const WhitePointReading& reading, std::ostream& out) {
    const WhitePointAdjustInfo& record = reading.record->info;
    const auto coordinates = Coordinates(record);
    out << "source    " << (reading.golden ? "golden record" : "firmware") << '\n'
        << "record    " << Escaped(reading.record->text) << '\n'
        << "headers   " << Escaped(record.header1) << ' ' << Escaped(record.header2) << '\n';
    for (std::size_t n = 0; n < kPointNames.size(); ++n) {
        const std::string name = kPointNames[n];
        out << name << std::string(10 - name.size(), ' ') << Coordinate(coordinates[2 * n]) << ' '
            << Coordinate(coordinates[2 * n + 1]) << '\n';
    }
    out << "values    " << record.value9 << ' ' << record.value10 << '\n'
        << "measured  " << Escaped(record.manufacturerId) << ' ' << Escaped(record.serialNumber)
        << " week " << Escaped(record.week) << " year " << Escaped(record.year) << '\n'
        << "checksum  " << (ChecksumOk(*reading.record) ? "ok" : "mismatch") << '\n'
        << "panel     " << reading.panel.vendor << ' ' << reading.panel.serialNumber << " week "
        << reading.panel.week << " year " << reading.panel.year << ", "
        << (MatchesPanel(record, reading.panel) ? "the one measured" : "another panel") << '\n';
    if (!record.trailing.empty()) {
        out << "trailing  " << Escaped(record.trailing) << '\n';
    }
}

int Show(bool json, std::ostream& out, std::ostream& err) {
    const auto golden = HandGolden();
    const auto reading = ReadWhitePoint(golden);
    if (!reading) {
        err << "tintwell: `whitepoint show` needs the library's white point record, which "
               "TintwellDll does not export; run the Linux build\n";
        return kExitUsage;
    }
    if (!reading->ready || !reading->record) {
        if (json) {
            out << "{\"ready\": false}\n";
        }
        err << "tintwell: no validated white point record: the firmware's is missing, "
               "malformed or measured on another panel, and "
            << (golden ? "the golden record was refused too"
                       : "no golden record was given (`tintwell whitepoint golden TEXT`)")
            << "; the log says why\n";
        return kExitLibraryFailure;
    }
    if (json) {
        PrintJson(*reading, out);
    } else {
        PrintText(*reading, out);
    }
    return kExitSuccess;
}

// A front-end brackets the AMD road with loading and releasing ADL.
int OnAmdRoad(bool apply) {
    InitAdlGamut();
    const int result = apply ? SetWhitePointForAmd() : ResetWhitePointForAmd();
    UninitAdlGamut();
    return result;
}

}  // namespace

int KeepGolden(const std::string& text, std::ostream& out, std::ostream& err) {
    const std::filesystem::path file = HostPath(kGoldenRecordFile);
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    if (!stream.write(text.data(), static_cast<std::streamsize>(text.size())).flush()) {
        err << "tintwell: cannot write " << file.string() << '\n';
        return kExitUsage;
    }
    out << "golden record kept for the following runs in " << file.string() << '\n';
    return kExitSuccess;
}

namespace {

void PrintRoadText(const char* road, int result, const std::array<float, 3>* gains,
                   const std::vector<std::string>& machine, std::ostream& out) {
    out << "road    " << road << '\n' << "result  " << result << '\n' << "gains   ";
    if (gains == nullptr) {
        out << "(not stored)\n";
    } else {
        out << Shortest((*gains)[0]) << ' ' << Shortest((*gains)[1]) << ' ' << Shortest((*gains)[2])
            << " (stored WHITEPOINT gains)\n";
    }
    for (const std::string& line : machine) {
        out << "  " << line << '\n';
    }
}

void PrintRoadJson(const char* road, int result, const std::array<float, 3>* gains,
                   const std::vector<std::string>& machine, std::ostream& out) {
    out << R"({"road": ")" << road << R"(", "result": )" << result << R"(, "gains": )";
    if (gains == nullptr) {
        out << "null";
    } else {
        out << '[' << Shortest((*gains)[0]) << ", " << Shortest((*gains)[1]) << ", "
            << Shortest((*gains)[2]) << ']';
    }
    out << R"(, "machine": )" << JsonArray(machine) << "}\n";
}

}  // namespace

// As a front-end at start-up: the golden record handed over, the record
// validated; neither road reads it on its own.
int MoveWhitePoint(bool apply, bool json, std::ostream& out, std::ostream& err) {
    HandGolden();
    InitWhitePointInfo();
    const int displayType = GetDisplayType();
    if (!display_type::HasGraphicsRoad(displayType)) {
        err << "tintwell: display type " << displayType
            << " has no white point road (Intel or AMD graphics)\n";
        return kExitLibraryFailure;
    }
    const bool intel = displayType == display_type::kIntel;
    const MachineTrace trace;
    int result = 0;
    if (intel) {
        result = apply ? SetWhitePointForIntel() : ResetWhitePointForIntel();
    } else {
        result = OnAmdRoad(apply);
    }
    const std::array<float, 3> gains{GetWhitePointR(kNotStored), GetWhitePointG(kNotStored),
                                     GetWhitePointB(kNotStored)};
    const bool stored = std::ranges::none_of(gains, [](float gain) { return gain == kNotStored; });
    const char* road = intel ? "intel" : "amd";
    if (json) {
        PrintRoadJson(road, result, stored ? &gains : nullptr, trace.Lines(), out);
    } else {
        PrintRoadText(road, result, stored ? &gains : nullptr, trace.Lines(), out);
    }
    if (result != 0) {
        err << "tintwell: the library did not " << (apply ? "apply" : "reset")
            << " the white point; the log names the step that failed\n";
        return kExitLibraryFailure;
    }
    return kExitSuccess;
}

WhitePointCommand AddWhitePointCommand(CLI::App& app, WhitePointArguments& arguments) {
    WhitePointCommand command;
    command.whitepoint =
        app.add_subcommand("whitepoint", "the factory white point record and its calibration");
    CLI::App& whitepoint = *command.whitepoint;
    whitepoint.require_subcommand(1);
    command.show = whitepoint.add_subcommand(
        "show", "the record the library validated, where it came from, and its panel");
    command.show->add_flag("--json", arguments.json, "print one JSON object");
    command.show->footer(kShowExitCodes);
    AddMake(whitepoint, command, arguments);
    command.golden = whitepoint.add_subcommand(
        "golden", "keep the golden record that every later `whitepoint` command hands over");
    command.golden->add_option("text", arguments.golden, "the record text")->required();
    command.golden->footer(kGoldenExitCodes);
    command.apply = whitepoint.add_subcommand(
        "apply", "calibrate the white point from the record on the machine's road");
    command.apply->add_flag("--json", arguments.json, "print one JSON object");
    command.apply->footer(kRoadExitCodes);
    command.reset =
        whitepoint.add_subcommand("reset", "take the white point calibration back off the road");
    command.reset->add_flag("--json", arguments.json, "print one JSON object");
    command.reset->footer(kRoadExitCodes);
    return command;
}

int RunWhitePoint(const WhitePointCommand& command, const WhitePointArguments& arguments,
                  std::ostream& out, std::ostream& err) {
    if (command.make->parsed()) {
        return PrintRecord(arguments, out, err);
    }
    if (command.golden->parsed()) {
        return KeepGolden(arguments.golden, out, err);
    }
    if (command.apply->parsed() || command.reset->parsed()) {
        return MoveWhitePoint(command.apply->parsed(), arguments.json, out, err);
    }
    return Show(arguments.json, out, err);
}

}  // namespace tintwell_cli
