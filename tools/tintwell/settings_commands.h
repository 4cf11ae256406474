// The `settings` commands. Each writes its answer to `out`, its complaints to
// `err`, and returns the process exit code.
#pragma once

#include <iosfwd>
#include <string_view>

namespace tintwell_cli {

inline constexpr int kExitSuccess = 0;
// The library refused the request (for example, the INI file could not be written).
inline constexpr int kExitLibraryFailure = 1;
// The command line named something that does not exist or cannot be done.
inline constexpr int kExitUsage = 2;

// With `json`, one object: {"settings": [{"section", "key", "value"}...]},
// a missing value as null.
int ListSettings(bool json, std::ostream& out);
int GetSetting(std::string_view section, std::string_view key, bool json, std::ostream& out,
               std::ostream& err);
int SetSetting(std::string_view section, std::string_view key, std::string_view value,
               std::ostream& err);

}  // namespace tintwell_cli
