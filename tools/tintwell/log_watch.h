// The library's warnings and errors while a command runs, read from its log
// file: what the exports' results leave out (a display that kept another
// gamma ramp, a device context Windows would not make) reaches the user too.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tintwell_cli {

// The file the library logs to: TINTWELL_LOG_FILE when set, else its
// default in the program-data folder; on the simulated machine, where that
// file lies on the host.
std::filesystem::path LibraryLogPath();

class LogWatch {
  public:
    // Notes where the log ends now.
    LogWatch();

    // The lines logged since at level 2 or 3, as "warning: <text>" and
    // "error: <text>".
    std::vector<std::string> Complaints() const;

  private:
    std::filesystem::path path_;
    std::uintmax_t start_ = 0;
};

}  // namespace tintwell_cli
