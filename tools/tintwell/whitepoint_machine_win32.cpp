// The Windows tool holds only the exports: no export hands out the record
// the library validated, and the real machine keeps no record of what
// reached it.
#include "whitepoint_machine.h"

namespace tintwell_cli {

struct WhitePointTrace::Marks {};

std::optional<WhitePointReading> ReadWhitePoint(const std::optional<std::string>&) {
    return std::nullopt;
}

std::filesystem::path HostPath(std::wstring_view windowsPath) {
    return std::filesystem::path(windowsPath);
}

WhitePointTrace::WhitePointTrace() = default;
WhitePointTrace::~WhitePointTrace() = default;

std::vector<std::string> WhitePointTrace::Lines() const {
    return {};
}

}  // namespace tintwell_cli
