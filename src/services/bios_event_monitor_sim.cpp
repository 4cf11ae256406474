// The maker's firmware event monitor on the simulated machine: started and
// stopped with the results the machine's FirmwareModel gives, it receives the
// events the machine raises and calls the callback with each on a thread of
// its own. The thread runs while events wait and ends when none is left.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/library_thread.h"
#include "platform/process_end.h"
#include "services/wmi_util.h"
#include "sim/firmware_model.h"
#include "sim/machine.h"

namespace OrvSDK {

struct BiosEventMonitor::Events : std::enable_shared_from_this<BiosEventMonitor::Events> {
    std::mutex mutex;
    std::condition_variable finished;
    Callback callback;  // empty while stopped
    std::deque<unsigned int> queue;
    bool delivering = false;
    std::thread::id deliveringThread;
    sim::FirmwareModel* firmware = nullptr;  // where the monitor was started

    sim::FirmwareModel* Firmware() {
        std::lock_guard lock(mutex);
        return firmware;
    }
    void Receive(unsigned int event);
    void Deliver();
    // Drops the events that wait; the caller holds the lock.
    void DropQueuedLocked();
    // Stops calling back; waits for a call in progress unless it is the
    // calling thread's own or the process is ending.
    void Halt();
};

void BiosEventMonitor::Events::Receive(unsigned int event) {
    {
        std::lock_guard lock(mutex);
        if (!callback) {
            firmware->EventDone();
            return;
        }
        queue.push_back(event);
        if (std::exchange(delivering, true)) {
            return;
        }
    }
    if (!platform::StartLibraryThread([self = shared_from_this()] { self->Deliver(); })) {
        std::lock_guard lock(mutex);
        DropQueuedLocked();
        delivering = false;
        finished.notify_all();
    }
}

void BiosEventMonitor::Events::Deliver() {
    std::unique_lock lock(mutex);
    deliveringThread = std::this_thread::get_id();
    while (callback && !queue.empty()) {
        const unsigned int event = queue.front();
        queue.pop_front();
        const Callback call = callback;
        sim::FirmwareModel* const raisedBy = firmware;
        lock.unlock();
        call(event);
        raisedBy->EventDone();
        lock.lock();
    }
    DropQueuedLocked();
    delivering = false;
    deliveringThread = {};
    finished.notify_all();
}

void BiosEventMonitor::Events::DropQueuedLocked() {
    for (std::size_t dropped = queue.size(); dropped > 0; --dropped) {
        firmware->EventDone();
    }
    queue.clear();
}

void BiosEventMonitor::Events::Halt() {
    std::unique_lock lock(mutex);
    callback = nullptr;
    if (firmware != nullptr) {
        DropQueuedLocked();
    }
    if (platform::ProcessIsEnding() || deliveringThread == std::this_thread::get_id()) {
        return;
    }
    finished.wait(lock, [this] { return !delivering; });
}

BiosEventMonitor::BiosEventMonitor() : events_(std::make_shared<Events>()) {}

BiosEventMonitor::~BiosEventMonitor() {
    StopEventMonitor();
    if (sim::FirmwareModel* firmware = events_->Firmware()) {
        firmware->DetachEventMonitor();
    }
    events_->Halt();
}

int BiosEventMonitor::StartEventMonitor(Callback callback) {
    auto& firmware = sim::Machine::Current().Firmware();
    {
        std::lock_guard lock(events_->mutex);
        events_->firmware = &firmware;
        events_->callback = std::move(callback);
    }
    const int result = firmware.StartEventMonitor(
        [events = events_](unsigned int event) { events->Receive(event); });
    if (result != 0) {
        std::lock_guard lock(events_->mutex);
        events_->callback = nullptr;
    }
    return result;
}

// A monitor never started has nothing to stop.
int BiosEventMonitor::StopEventMonitor() {
    sim::FirmwareModel* firmware = events_->Firmware();
    if (firmware == nullptr) {
        return 0;
    }
    const int result = firmware->StopEventMonitor();
    if (result == 0) {
        events_->Halt();
    }
    return result;
}

}  // namespace OrvSDK
