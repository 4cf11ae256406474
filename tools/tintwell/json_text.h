// Text for the tool's JSON output, and numbers that read back unchanged.
#pragma once

#include <string>
#include <vector>

namespace tintwell_cli {

// Text fields may hold any bytes: quotes, backslashes and bytes outside
// printable ASCII are escaped, so the output stays one valid JSON string.
std::string Escaped(const std::string& text);

inline const char* JsonBool(bool value) {
    return value ? "true" : "false";
}

// The lines as one JSON array of strings.
std::string JsonArray(const std::vector<std::string>& lines);

// The shortest decimal text that reads back as the same float.
std::string Shortest(float value);

}  // namespace tintwell_cli
