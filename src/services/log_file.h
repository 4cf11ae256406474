#pragma once

#include <mutex>
#include <string_view>

namespace services {

// The log file behind LogMessage and OrvLogger: "<ISO-8601 time> [<level>]
// <text>" lines, each written whole under one lock so that lines from the
// caller's threads and the workers never interleave.
class LogFile {
  public:
    static LogFile& Instance();

    bool Write(int level, std::wstring_view text);

  private:
    LogFile() = default;

    // Created when the library is loaded, before anything can log, so it is
    // destroyed after the engine singletons that log from their destructors
    // at unload: they are all created later, on first use. Unlike an object
    // that is never destroyed, it leaves nothing behind at unload.
    static LogFile instance_;

    std::mutex mutex_;
};

}  // namespace services
