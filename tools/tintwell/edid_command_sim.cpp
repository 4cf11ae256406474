// The tool on Linux holds the library's code, so it parses with the library's
// own LcdEdidParse and reads the panel through the library's registry path.
#include <algorithm>
#include <climits>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <optional>
#include <ostream>
#include <sstream>
#include <variant>
#include <vector>

#include "discovery/edid_fields.h"
#include "discovery/edid_registry.h"
#include "discovery/lcd_edid_parse.h"
#include "edid_command.h"
#include "settings_commands.h"

namespace tintwell_cli {

namespace {

std::optional<std::vector<unsigned char>> ReadFileBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

// Why LcdEdidParse said no, from the same byte rules.
std::string RefusalReason(const std::vector<unsigned char>& bytes) {
    std::ostringstream reason;
    if (bytes.size() < discovery::edid::kIdentityLength) {
        reason << bytes.size() << " bytes, fewer than the " << discovery::edid::kIdentityLength
               << " the identity needs";
        return reason.str();
    }
    const unsigned char* id = bytes.data() + discovery::edid::kVendorOffset;
    const auto vendor = discovery::edid::DecodeVendor(id);
    reason << "manufacturer id " << std::hex << std::uppercase << std::setfill('0') << std::setw(2)
           << int{id[0]} << std::setw(2) << int{id[1]} << std::dec;
    if (const auto* code = std::get_if<unsigned int>(&vendor)) {
        reason << " holds the letter code " << *code << " (letters are 1 to 26)";
    }
    return reason.str();
}

void Print(const LcdEdidParse& identity, bool json, std::ostream& out) {
    if (json) {
        out << "{\"vendor\": \"" << identity.GetVendor() << "\", \"serial\": \""
            << identity.GetSerialNumber() << "\", \"week\": " << identity.GetWeek()
            << ", \"year\": " << identity.GetYear() << "}\n";
        return;
    }
    out << "vendor  " << identity.GetVendor() << '\n'
        << "serial  " << identity.GetSerialNumber() << '\n'
        << "week    " << identity.GetWeek() << '\n'
        << "year    " << identity.GetYear() << '\n';
}

}  // namespace

int RunEdid(const EdidArguments& arguments, std::ostream& out, std::ostream& err) {
    std::optional<std::vector<unsigned char>> bytes;
    if (arguments.file.empty()) {
        bytes = discovery::ReadEdidValue(discovery::EdidOwner::LutHandle3D);
        if (!bytes) {
            err << "tintwell: the machine's panel EDID could not be read from the registry; "
                   "the library's log says why\n";
            return kExitLibraryFailure;
        }
    } else {
        bytes = ReadFileBytes(arguments.file);
        if (!bytes) {
            err << "tintwell: cannot read " << arguments.file << '\n';
            return kExitUsage;
        }
    }
    LcdEdidParse identity;
    const auto length = static_cast<unsigned int>(std::min<std::size_t>(bytes->size(), UINT_MAX));
    if (!identity.ParseEdid(bytes->data(), length)) {
        err << "tintwell: the library refuses the EDID: " << RefusalReason(*bytes) << '\n';
        return kExitLibraryFailure;
    }
    Print(identity, arguments.json, out);
    return kExitSuccess;
}

}  // namespace tintwell_cli
