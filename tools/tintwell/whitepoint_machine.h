// What `tintwell whitepoint` needs beyond the exports: the record the library
// holds and the panel it checks it against, and where a Windows path lies on
// this machine.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "discovery/edid_fields.h"
#include "whitepoint/white_point_adjust_info.h"

namespace tintwell_cli {

// The record as the library parsed it, with the text it was read from.
struct RecordInUse {
    std::string text;
    WhitePointAdjustInfo info;
};

struct WhitePointReading {
    bool ready = false;
    bool golden = false;  // the golden text serves, not the firmware's
    std::optional<RecordInUse> record;
    discovery::EdidTextIdentity panel;
};

// InitWhitePointInfo, then what the library holds; `goldenText` is the text
// handed to it, if any. Nothing where the tool cannot reach the library's
// internals (the Windows tool holds only the exports).
std::optional<WhitePointReading> ReadWhitePoint(const std::optional<std::string>& goldenText);

// The host path of a Windows path: itself on Windows, on Linux the simulated
// machine's mapping into its root.
std::filesystem::path HostPath(std::wstring_view windowsPath);

}  // namespace tintwell_cli
