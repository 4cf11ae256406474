// Where Windows keeps the panel's EDID and how it is read: the panel's PNP
// device id from WMI, the registry key below it, and the value "EDID". Two
// owners read it with the same steps and their own log lines.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace discovery {

// Chooses the log texts and their sources.
enum class EdidOwner { OperateColor, LutHandle3D };

// The built-in panel's PNP device id (class\hardware id\instance) among
// the monitors WMI lists, the first monitor's when no panel is identified
// (built_in_panel.h), or, when WMI has no id, the first monitor's caption;
// empty when none is known.
std::string GetPnpDeviceID();

// "SYSTEM\CurrentControlSet\Enum\<id>\Device Parameters\", or empty.
std::string GetEdidDataPath(EdidOwner owner);

// The value "EDID" below the owner's path in HKEY_LOCAL_MACHINE, with the
// owner's messages; nothing when the path, the key or the value fails (a
// value must hold 1 to 2559 bytes).
std::optional<std::vector<unsigned char>> ReadEdidValue(EdidOwner owner);

// The same read below a given path (relative to HKEY_LOCAL_MACHINE).
std::optional<std::vector<unsigned char>> ReadEdidValueAt(EdidOwner owner, const std::string& path);

}  // namespace discovery
