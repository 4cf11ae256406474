// The Windows tool holds only the exports: no export hands out the record
// the library validated, and the real machine keeps no record of what
// reached it.
#include "whitepoint_machine.h"

namespace tintwell_cli {

std::optional<WhitePointReading> ReadWhitePoint(const std::optional<std::string>&) {
    return std::nullopt;
}

std::filesystem::path HostPath(std::wstring_view windowsPath) {
    return std::filesystem::path(windowsPath);
}

}  // namespace tintwell_cli
