// The machine's clock, which kernel32's Sleep advances. Real time for the
// command-line tool, so that the library paces the hardware as it would on
// Windows; virtual time for tests, where a sleep only moves the clock on and
// ten monitors cost no waiting.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <string_view>

namespace sim {

class MachineClock {
  public:
    enum class Mode { Real, Virtual };
    using Milliseconds = std::chrono::milliseconds;
    // Runs on the sleeping thread before its sleep, outside the clock's lock.
    using SleepHook = std::function<void(Milliseconds)>;

    // "real" or "virtual"; anything else throws std::invalid_argument.
    static Mode ParseMode(std::string_view name);

    // Chosen before the machine is used; switching later makes Now() jump.
    void SetMode(Mode mode);
    Mode GetMode() const;

    // Time since the machine started.
    Milliseconds Now() const;
    void Sleep(Milliseconds duration);

    // Lets a test hold a thread inside a sleep, so that it can act while the
    // thread is known to be in the middle of its work.
    void SetSleepHook(SleepHook hook);

  private:
    mutable std::mutex mutex_;
    Mode mode_ = Mode::Real;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    Milliseconds virtualNow_{0};
    SleepHook hook_;
};

}  // namespace sim
