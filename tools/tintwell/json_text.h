// Text for the tool's JSON output.
#pragma once

#include <string>

namespace tintwell_cli {

// Text fields may hold any bytes: quotes, backslashes and bytes outside
// printable ASCII are escaped, so the output stays one valid JSON string.
std::string Escaped(const std::string& text);

}  // namespace tintwell_cli
