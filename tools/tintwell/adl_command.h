// The `adl` command: the AMD adapters and displays that ADL reports, and the
// gamut capabilities of each display. No export lists them, so the command
// loads ADL itself the way the library does; where ADL cannot exist it says
// so. Writes its answer to `out`, its complaints to `err`, and returns the
// process exit code.
#pragma once

#include <iosfwd>

namespace tintwell_cli {

// With `json` one object: {"adapters": [{"index", "name", "listResult",
// "displays": [{"index", "adapter", "name", "infoValue", "served", "gamut":
// {"spaces", "whitePoints", "customWhitePoint"} or null}]}]}.
int ListAdl(bool json, std::ostream& out, std::ostream& err);

}  // namespace tintwell_cli
