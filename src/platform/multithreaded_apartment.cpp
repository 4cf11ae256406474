#include "platform/multithreaded_apartment.h"

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/com_apartment.h"
#include "platform/library_thread.h"

namespace platform {

namespace {

// What the caller and the library thread share: the thread may outlive a
// caller that ran out of patience.
struct HandedWork {
    std::function<int()> work;
    std::mutex mutex;
    std::condition_variable done;
    std::optional<int> result;  // guarded by mutex
};

void RunHanded(const std::shared_ptr<HandedWork>& handed) {
    int result = 0;
    {
        const ComApartment apartment;
        result = handed->work();
    }
    {
        const std::lock_guard lock(handed->mutex);
        handed->result = result;
    }
    handed->done.notify_all();
}

}  // namespace

std::optional<int> RunInMultithreadedApartment(std::function<int()> work,
                                               std::chrono::milliseconds patience) {
    {
        const ComApartment apartment;
        if (apartment.Result() != RPC_E_CHANGED_MODE) {
            return work();
        }
    }
    auto handed = std::make_shared<HandedWork>();
    handed->work = std::move(work);
    if (!StartLibraryThread([handed] { RunHanded(handed); })) {
        return std::nullopt;
    }
    std::unique_lock lock(handed->mutex);
    handed->done.wait_for(lock, patience, [&handed] { return handed->result.has_value(); });
    return handed->result;
}

MtaUsage MtaUsage::Take() {
    MtaUsage usage;
    CO_MTA_USAGE_COOKIE cookie = nullptr;
    if (SUCCEEDED(CoIncrementMTAUsage(&cookie))) {
        usage.cookie_ = cookie;
    }
    return usage;
}

void MtaUsage::Reset() {
    if (cookie_ != nullptr) {
        CoDecrementMTAUsage(std::exchange(cookie_, nullptr));
    }
}

}  // namespace platform
