// Work for COM objects that live in the process's multithreaded apartment
// (MTA) and may be called only there, whichever thread of the front-end asks.
#pragma once

#include <objbase.h>

#include <chrono>
#include <functional>
#include <optional>
#include <utility>

namespace platform {

// Runs `work` in the MTA and gives its result. A thread in no apartment
// joins the MTA for the call and leaves it afterwards; a thread of the MTA
// runs it as it is; a thread of a single-threaded apartment (a window's)
// hands it to a library thread in the MTA and waits, at most `patience`.
// Nothing when it did not run, or did not end within `patience`: it then
// ends on its own, so it must own what it reaches.
std::optional<int> RunInMultithreadedApartment(std::function<int()> work,
                                               std::chrono::milliseconds patience);

// Keeps the MTA alive while held, with or without a thread in it, so that
// objects made there outlive the thread that made them.
class MtaUsage {
  public:
    MtaUsage() = default;
    // Empty when the apartment refuses.
    static MtaUsage Take();

    MtaUsage(MtaUsage&& other) noexcept : cookie_(std::exchange(other.cookie_, nullptr)) {}
    MtaUsage& operator=(MtaUsage&& other) noexcept {
        if (this != &other) {
            Reset();
            cookie_ = std::exchange(other.cookie_, nullptr);
        }
        return *this;
    }
    MtaUsage(const MtaUsage&) = delete;
    MtaUsage& operator=(const MtaUsage&) = delete;
    ~MtaUsage() { Reset(); }

    explicit operator bool() const { return cookie_ != nullptr; }
    void Reset();
    // Forgets the usage without giving it back, for an owner destroyed at
    // unload, where COM may not be called.
    void Abandon() { cookie_ = nullptr; }

  private:
    CO_MTA_USAGE_COOKIE cookie_ = nullptr;
};

}  // namespace platform
