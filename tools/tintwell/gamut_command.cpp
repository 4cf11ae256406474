#include "gamut_command.h"

#include <openssl/sha.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>

#include <CLI/CLI.hpp>

#include "gamut_machine.h"
#include "json_text.h"
#include "log_watch.h"
#include "machine_trace.h"
#include "settings_commands.h"
#include "tintwell/tintwell.h"

namespace tintwell_cli {

namespace {

// The digest file's record: the profile's file name NUL-padded in 63 bytes,
// the SHA-256 of the profile at 67, 102 bytes in all. The library compares
// no more than the first 62 bytes of a name.
constexpr std::size_t kRecordLength = 102;
constexpr std::size_t kLongestName = 62;
constexpr std::size_t kDigestOffset = 67;
constexpr std::size_t kIccFileNameBufferSize = 1024;
constexpr int kNoSetting = -1;

using Digest = std::array<unsigned char, SHA256_DIGEST_LENGTH>;

constexpr const char* kAddExitCodes =
    "Exit codes: 0 every record was appended; 2 a malformed command line, a profile that cannot "
    "be read or whose file name is empty or longer than 62 bytes (nothing is written then), or "
    "a digest file that cannot be written.";
constexpr const char* kCheckExitCodes =
    "Exit codes: the library's answer, 0 the profile matches its record, 1 the profile is "
    "missing, 2 the digest file is missing or the profile does not match it; also 2 for a "
    "malformed command line, or on Windows, where the tool reaches only the exports.";
constexpr const char* kSetExitCodes =
    "Exit codes: SetColorFieldMode's result, 0 done, 1 a profile that does not exist, 2 the "
    "digest file missing or not matching, or the profile not installed or associated, 3 the "
    "display refused the mode (the profile change was undone); 2 also for a malformed command "
    "line. On success the tool records the mode in the COLORFIELD settings, as a front-end does.";
constexpr const char* kCurrentExitCodes =
    "Exit codes: 0 the profile was printed; 1 Windows colour management could not name the main "
    "monitor's default profile (the log says why); 2 a malformed command line.";

const std::map<std::string, unsigned> kModeNames{
    {"off", 0}, {"srgb", 1}, {"p3", 2}, {"adobergb", 3}};
const std::map<std::string, int> kRoadNames{{"ddcci", 0}, {"lut", 1}};

std::string FileName(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::optional<std::string> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Hex(const Digest& digest) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 0xF];
    }
    return hex;
}

std::string Record(const std::string& name, const Digest& digest) {
    std::string record(kRecordLength, '\0');
    std::copy(name.begin(), name.end(), record.begin());
    std::copy(digest.begin(), digest.end(), record.begin() + kDigestOffset);
    return record;
}

const char* CheckMeaning(int result) {
    switch (result) {
        case 0:
            return "the profile matches its record";
        case 1:
            return "the profile is missing";
        default:
            return "the digest file is missing, or the profile does not match its record";
    }
}

int CheckDigest(const GamutArguments& arguments, std::ostream& out, std::ostream& err) {
    const auto result = CheckIccFile(arguments.profile, arguments.digestFile);
    if (!result) {
        err << "tintwell: the Windows tool holds only the library's exports, and no export "
               "checks a profile alone; `gamut set` checks it as part of a switch\n";
        return kExitUsage;
    }
    if (arguments.json) {
        out << "{\"result\": " << *result << ", \"meaning\": \"" << CheckMeaning(*result)
            << "\"}\n";
    } else {
        out << *result << "  " << CheckMeaning(*result) << '\n';
    }
    return *result;
}

void PrintSwitch(const GamutArguments& arguments, int result,
                 const std::vector<std::string>& machine, const std::vector<std::string>& log,
                 std::ostream& out) {
    if (!arguments.json) {
        out << "result  " << result << " (" << SwitchMeaning(result) << ")\n";
        for (const auto* lines : {&machine, &log}) {
            for (const std::string& line : *lines) {
                out << "  " << line << '\n';
            }
        }
        return;
    }
    out << "{\"result\": " << result << ", \"meaning\": \"" << SwitchMeaning(result)
        << "\", \"mode\": " << arguments.mode
        << ", \"setType\": " << GetColorFieldSetType(kNoSetting)
        << ", \"machine\": " << JsonArray(machine) << ", \"log\": " << JsonArray(log) << "}\n";
}

int SetGamut(const GamutArguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.road != kNoSetting && SetColorFieldSetType(arguments.road) != 0) {
        err << "tintwell: the COLORFIELD SetType setting could not be stored\n";
        return kExitLibraryFailure;
    }
    const MachineTrace trace;
    const LogWatch log;
    const int result =
        SetColorFieldMode(arguments.mode, arguments.profile.c_str(), arguments.digestFile.c_str());
    if (result == 0) {
        SetGetCurrentColorFieldMode(static_cast<int>(arguments.mode));
    }
    PrintSwitch(arguments, result, trace.Lines(), log.Complaints(), out);
    return result;
}

int PrintCurrent(const GamutArguments& arguments, std::ostream& out, std::ostream& err) {
    std::array<char, kIccFileNameBufferSize> name{};
    if (GetCurrentIccFileName(name.data()) != 0) {
        err << "tintwell: Windows colour management could not name the main monitor's default "
               "profile; the log says why\n";
        return kExitLibraryFailure;
    }
    const int mode = GetCurrentColorFieldMode(kNoSetting);
    const int setType = GetColorFieldSetType(kNoSetting);
    if (arguments.json) {
        out << "{\"profile\": \"" << Escaped(name.data()) << "\", \"mode\": " << mode
            << ", \"setType\": " << setType << "}\n";
        return kExitSuccess;
    }
    out << "profile  " << name.data() << '\n'
        << "mode     " << mode << '\n'
        << "road     " << setType << " (0 DDC/CI, 1 firmware 3D LUT)\n";
    return kExitSuccess;
}

}  // namespace

// Every profile is read and named before anything is written, so a bad one
// leaves the digest file as it was.
int AddDigests(const std::string& digestFile, const std::vector<std::string>& profiles, bool json,
               std::ostream& out, std::ostream& err) {
    std::string records;
    std::vector<std::string> added;
    for (const std::string& profile : profiles) {
        const std::string name = FileName(profile);
        if (name.empty() || name.size() > kLongestName) {
            err << "tintwell: " << profile << ": the file name must be 1 to " << kLongestName
                << " bytes, the library compares no more\n";
            return kExitUsage;
        }
        const auto bytes = ReadBytes(profile);
        if (!bytes) {
            err << "tintwell: cannot read " << profile << '\n';
            return kExitUsage;
        }
        Digest digest{};
        SHA256(reinterpret_cast<const unsigned char*>(bytes->data()), bytes->size(), digest.data());
        records += Record(name, digest);
        added.push_back(json ? R"({"name": ")" + Escaped(name) + R"(", "sha256": ")" + Hex(digest) +
                                   "\"}"
                             : "added  " + name + "  " + Hex(digest));
    }
    std::ofstream file(digestFile, std::ios::binary | std::ios::app);
    if (!file.write(records.data(), static_cast<std::streamsize>(records.size())).flush()) {
        err << "tintwell: cannot write " << digestFile << '\n';
        return kExitUsage;
    }
    if (json) {
        out << R"({"added": [)";
        for (std::size_t n = 0; n < added.size(); ++n) {
            out << (n == 0 ? "" : ", ") << added[n];
        }
        out << "]}\n";
        return kExitSuccess;
    }
    for (const std::string& line : added) {
        out << line << '\n';
    }
    return kExitSuccess;
}

const char* SwitchMeaning(int result) {
    switch (result) {
        case 0:
            return "done";
        case 1:
            return "the profile does not exist";
        case 2:
            return "the digest file is missing or does not match, or the profile was not "
                   "installed or associated";
        case 3:
            return "the display refused the mode; the profile change was undone";
        default:
            return "unknown result";
    }
}

GamutCommand AddGamutCommands(CLI::App& app, GamutArguments& arguments) {
    GamutCommand command;
    command.digest = app.add_subcommand("digest", "digest files that vouch for ICC profiles");
    command.digest->require_subcommand(1);
    command.add = command.digest->add_subcommand(
        "add", "append one record per profile (its file name and SHA-256) to a digest file");
    command.add->add_option("digestfile", arguments.digestFile, "created when missing")->required();
    command.add->add_option("icc", arguments.profiles, "ICC profiles")->required();
    command.add->add_flag("--json", arguments.json, "print one JSON object");
    command.add->footer(kAddExitCodes);
    command.check = command.digest->add_subcommand(
        "check", "the library's check of a profile against its digest file");
    command.check->add_option("icc", arguments.profile, "ICC profile")->required();
    command.check->add_option("digestfile", arguments.digestFile, "digest file")->required();
    command.check->add_flag("--json", arguments.json, "print one JSON object");
    command.check->footer(kCheckExitCodes);

    command.gamut = app.add_subcommand("gamut", "the colour gamut: switch it, or see what is set");
    command.gamut->require_subcommand(1);
    command.set = command.gamut->add_subcommand(
        "set", "a whole gamut switch (SetColorFieldMode), with what reached the machine");
    command.set->add_option("mode", arguments.mode, "0 off, 1 sRGB, 2 P3, 3 Adobe RGB")
        ->required()
        ->transform(CLI::CheckedTransformer(kModeNames, CLI::ignore_case));
    command.set->add_option("icc", arguments.profile, "ICC profile of the mode")->required();
    command.set->add_option("digestfile", arguments.digestFile, "digest file vouching for it")
        ->required();
    command.set
        ->add_option("--road", arguments.road,
                     "store the COLORFIELD SetType first: ddcci (0) or lut (1)")
        ->transform(CLI::CheckedTransformer(kRoadNames, CLI::ignore_case));
    command.set->add_flag("--json", arguments.json, "print one JSON object");
    command.set->footer(kSetExitCodes);
    command.current = command.gamut->add_subcommand(
        "current", "the main monitor's default profile, the stored mode and road");
    command.current->add_flag("--json", arguments.json, "print one JSON object");
    command.current->footer(kCurrentExitCodes);
    return command;
}

int RunGamut(const GamutCommand& command, const GamutArguments& arguments, std::ostream& out,
             std::ostream& err) {
    if (command.add->parsed()) {
        return AddDigests(arguments.digestFile, arguments.profiles, arguments.json, out, err);
    }
    if (command.check->parsed()) {
        return CheckDigest(arguments, out, err);
    }
    if (command.set->parsed()) {
        return SetGamut(arguments, out, err);
    }
    return PrintCurrent(arguments, out, err);
}

}  // namespace tintwell_cli
