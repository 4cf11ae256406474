#include "platform/library_hold.h"

#include <memory>
#include <thread>
#include <utility>

#include "platform/library_thread.h"
#include "util/no_destructor.h"

namespace platform {

LibraryHold& LibraryHold::Instance() {
    static NoDestructor<LibraryHold> instance;
    return instance.Get();
}

void LibraryHold::Take() {
    const std::lock_guard lock(mutex_);
    if (holds_++ == 0) {
        library_ = ModuleReference::Take();
    }
}

ModuleReference LibraryHold::TakeBack() {
    const std::lock_guard lock(mutex_);
    if (holds_ == 0 || --holds_ > 0) {
        return {};
    }
    return std::move(library_);
}

void LibraryHold::GiveBackOnCaller() {
    TakeBack().Reset();
}

// The library thread holds the library itself, so the reference it resets
// is never the last one; its own goes when it ends, from system code.
void LibraryHold::GiveBackOnSystemThread() {
    ModuleReference last = TakeBack();
    if (!last) {
        return;
    }
    auto handed = std::make_shared<ModuleReference>(std::move(last));
    const bool started = StartLibraryThread([handed] {
        std::this_thread::sleep_for(kGracePeriod);
        handed->Reset();
    });
    if (!started) {
        // Kept for the life of the process rather than released under a call.
        handed->Abandon();
    }
}

int LibraryHold::Holds() const {
    const std::lock_guard lock(mutex_);
    return holds_;
}

}  // namespace platform
