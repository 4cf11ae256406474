// The door through which one kind of the system's callbacks (the light
// sensors' sinks, or the firmware monitor's events) reaches the engine. Open
// while that subscription is in place; closed by its end, after which no
// callback gets through, and the end can wait for those already through.
// Each callback holds the library while it runs, passed or not.
//
// Only atomics: the gates live as long as the library's image, so a late
// callback during the static destructors of exit() finds one intact.
#pragma once

#include <atomic>
#include <chrono>

class CallbackGate {
  public:
    // One callback's passage, for the length of the callback.
    class Pass {
      public:
        explicit Pass(CallbackGate& gate);
        ~Pass();
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;

        // Whether the callback may reach the engine.
        explicit operator bool() const { return through_; }

      private:
        CallbackGate& gate_;
        bool through_;
    };

    // The light sensors' sinks, and the firmware monitor's events.
    static CallbackGate& Sensors();
    static CallbackGate& Firmware();

    constexpr CallbackGate() = default;
    CallbackGate(const CallbackGate&) = delete;
    CallbackGate& operator=(const CallbackGate&) = delete;

    void Open();
    // Lets no callback through from now on, then waits at most `patience`
    // for those through already; false when some are still inside.
    bool Close(std::chrono::milliseconds patience);

  private:
    std::atomic<bool> open_{false};
    std::atomic<int> through_{0};
};
