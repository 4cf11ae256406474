// The pause between two frames of a transition: a wait of the frame
// interval that ends early when waiting longer would be wrong. A reading
// that starts a new transition, nature colour switched off, the end of the
// last subscription and the engine's shutdown want the next frame now; a new
// configuration wants its interval, so the pause starts again with it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>

class FramePause {
  public:
    // Created on first use, never earlier than the engine that waits on it.
    static FramePause& Instance();

    FramePause();
    FramePause(const FramePause&) = delete;
    FramePause& operator=(const FramePause&) = delete;

    // The pause in progress ends, or else the next one ends at once.
    void EndNow();
    // The pause in progress starts again with the interval of the moment.
    void Restart();
    // Forgets an end asked for while nobody paused: a worker starting anew.
    void Forget();

    // Waits `interval` milliseconds (0xFFFFFFFF: until ended); after a
    // restart, the interval `currentInterval` gives then.
    void Wait(std::uint32_t interval, const std::function<std::uint32_t()>& currentInterval);

  private:
    enum class Request { None, Restart, End };

    struct CloseEvent {
        void operator()(HANDLE event) const { CloseHandle(event); }
    };

    // What the waiter finds when the event wakes it: Restart or End.
    Request TakeRequest();
    void Ask(Request request);

    std::mutex mutex_;
    Request request_ = Request::None;  // guarded by mutex_
    // Auto-reset: set by whoever asks, taken by the one waiter.
    std::unique_ptr<std::remove_pointer_t<HANDLE>, CloseEvent> event_;
};
