#include "sim/machine_clock.h"

#include <stdexcept>
#include <string>
#include <thread>

namespace sim {

MachineClock::Mode MachineClock::ParseMode(std::string_view name) {
    if (name == "real") {
        return Mode::Real;
    }
    if (name == "virtual") {
        return Mode::Virtual;
    }
    throw std::invalid_argument("clock must be \"real\" or \"virtual\", not \"" +
                                std::string(name) + "\"");
}

void MachineClock::SetMode(Mode mode) {
    std::lock_guard lock(mutex_);
    mode_ = mode;
}

MachineClock::Mode MachineClock::GetMode() const {
    std::lock_guard lock(mutex_);
    return mode_;
}

MachineClock::Milliseconds MachineClock::Now() const {
    std::lock_guard lock(mutex_);
    if (mode_ == Mode::Virtual) {
        return virtualNow_;
    }
    return std::chrono::duration_cast<Milliseconds>(std::chrono::steady_clock::now() - start_);
}

void MachineEvent::Set() {
    {
        std::lock_guard lock(mutex_);
        set_ = true;
    }
    changed_.notify_all();
}

void MachineEvent::Reset() {
    std::lock_guard lock(mutex_);
    set_ = false;
}

bool MachineEvent::TakeLocked() {
    if (!set_) {
        return false;
    }
    if (!manualReset_) {
        set_ = false;
    }
    return true;
}

void MachineClock::RunSleepHook(Milliseconds duration) {
    SleepHook hook;
    {
        std::lock_guard lock(mutex_);
        hook = hook_;
    }
    if (hook) {
        hook(duration);
    }
}

// In virtual time the sleep hook stands for whatever happens while the
// thread waits, without saying when: an event set meanwhile ends the wait
// where a sleep would have ended, one set before the wait ends it at once.
bool MachineClock::Wait(MachineEvent& event, std::optional<Milliseconds> timeout) {
    {
        const std::lock_guard wait(event.mutex_);
        if (event.TakeLocked()) {
            return true;
        }
    }
    RunSleepHook(timeout.value_or(Milliseconds::max()));
    std::unique_lock wait(event.mutex_);
    if (timeout && GetMode() == Mode::Virtual) {
        const bool set = event.TakeLocked();
        wait.unlock();
        std::lock_guard lock(mutex_);
        virtualNow_ += *timeout;
        return set;
    }
    const auto taken = [&event] { return event.TakeLocked(); };
    if (!timeout) {
        event.changed_.wait(wait, taken);
        return true;
    }
    return event.changed_.wait_for(wait, *timeout, taken);
}

void MachineClock::Sleep(Milliseconds duration) {
    RunSleepHook(duration);
    std::unique_lock lock(mutex_);
    if (mode_ == Mode::Virtual) {
        virtualNow_ += duration;
        return;
    }
    lock.unlock();
    std::this_thread::sleep_for(duration);
}

void MachineClock::SetSleepHook(SleepHook hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

}  // namespace sim
