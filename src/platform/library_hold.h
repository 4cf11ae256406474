// Keeps the library loaded while the system may call into it: the Sensor
// API holding a sink, a callback running, a subscription in place. Each
// holder takes one hold and gives it back; while any is out the library
// holds a reference to its own module, so a front-end's FreeLibrary cannot
// take the code from under a call.
//
// The last hold given back on an export's caller (which holds the library
// itself) releases the module reference there. The last one given back on a
// thread of the system hands it to a library thread, which lets go after a
// grace period: the system's thread still has to return through the
// library's code, and nothing tells when it has. COM's own unloading of
// in-process servers waits in the same way.
#pragma once

#include <chrono>
#include <mutex>

#include "platform/module_reference.h"

namespace platform {

class LibraryHold {
  public:
    // Never destroyed: a system thread may give a hold back during exit().
    static LibraryHold& Instance();

    LibraryHold() = default;
    LibraryHold(const LibraryHold&) = delete;
    LibraryHold& operator=(const LibraryHold&) = delete;

    void Take();
    void GiveBackOnCaller();
    void GiveBackOnSystemThread();

    int Holds() const;

    // How long a released module stays loaded after the last hold of a
    // system thread.
    static constexpr std::chrono::milliseconds kGracePeriod{200};

  private:
    // The reference once the last hold is back, else nothing.
    ModuleReference TakeBack();

    mutable std::mutex mutex_;
    int holds_ = 0;            // guarded by mutex_
    ModuleReference library_;  // guarded by mutex_; held while holds_ > 0
};

}  // namespace platform
