// The machine's clock, which kernel32's Sleep advances. Real time for the
// command-line tool, so that the library paces the hardware as it would on
// Windows; virtual time for tests, where a sleep only moves the clock on and
// ten monitors cost no waiting.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>

namespace sim {

// A kernel32 event: set by one thread, waited for on the machine's clock by
// another. An auto-reset event lets one wait through and is unset again.
class MachineEvent {
  public:
    MachineEvent(bool manualReset, bool initiallySet)
        : manualReset_(manualReset), set_(initiallySet) {}

    void Set();
    void Reset();

  private:
    friend class MachineClock;

    // Whether the event is set, taking it when it resets itself; under mutex_.
    bool TakeLocked();

    const bool manualReset_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool set_;
};

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
    // Waits until `event` is set, or `timeout` has passed (nothing: for
    // ever); true when the event was set. In virtual time a wait with a
    // timeout only moves the clock on, by the whole timeout, while a wait for
    // ever waits for real, as no virtual time reaches it. The sleep hook runs
    // as for Sleep, unless the event is set already.
    bool Wait(MachineEvent& event, std::optional<Milliseconds> timeout);

    // Lets a test hold a thread inside a sleep, so that it can act while the
    // thread is known to be in the middle of its work.
    void SetSleepHook(SleepHook hook);

  private:
    void RunSleepHook(Milliseconds duration);

    mutable std::mutex mutex_;
    Mode mode_ = Mode::Real;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    Milliseconds virtualNow_{0};
    SleepHook hook_;
};

}  // namespace sim
