#pragma once

#include <mutex>
#include <string>
#include <string_view>

namespace services {

// The log file behind LogMessage and OrvLogger: "<ISO-8601 time> [<level>]
// <text>" lines, each written whole under one lock so that lines from the
// caller's threads and the workers never interleave.
class LogFile {
  public:
    // Never destroyed: engine singletons log from their destructors at unload.
    static LogFile& Instance();

    bool Write(int level, std::wstring_view text);
    const std::wstring& Path() const { return path_; }

  private:
    LogFile() = default;

    std::mutex mutex_;
    std::wstring path_;
};

}  // namespace services
