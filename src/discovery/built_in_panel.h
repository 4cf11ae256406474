// Which of the monitors WMI lists is the built-in panel: the one whose
// connection WMI reports as internal or, where WMI does not say, the target
// the display configuration marks as built in. The firmware's factory data
// belongs to that panel, whatever other monitor a docked laptop lists first.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace discovery {

// Of `ids` (PNP device ids, DISPLAY\<hardware id>\<instance>), the first
// that names the built-in panel; nothing when neither source identifies one.
std::optional<std::wstring> FindBuiltInPanel(const std::vector<std::wstring>& ids);

}  // namespace discovery
