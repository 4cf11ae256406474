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

void MachineClock::Sleep(Milliseconds duration) {
    SleepHook hook;
    {
        std::lock_guard lock(mutex_);
        hook = hook_;
    }
    if (hook) {
        hook(duration);
    }
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
