#include "naturecolor/frame_pause.h"

#include "log/log_line.h"

FramePause& FramePause::Instance() {
    static FramePause instance;
    return instance;
}

FramePause::FramePause() : event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    if (!event_) {
        Log(log_level::kError, "FramePause::FramePause")
            << L"CreateEventW failed, error:" << static_cast<unsigned long>(GetLastError())
            << L"; the pauses between frames cannot end early.";
    }
}

void FramePause::EndNow() {
    Ask(Request::End);
}

void FramePause::Restart() {
    Ask(Request::Restart);
}

void FramePause::Forget() {
    const std::lock_guard lock(mutex_);
    request_ = Request::None;
    if (event_) {
        ResetEvent(event_.get());
    }
}

// An end outranks a restart asked for before the waiter woke.
void FramePause::Ask(Request request) {
    {
        const std::lock_guard lock(mutex_);
        if (request_ != Request::End) {
            request_ = request;
        }
    }
    if (event_) {
        SetEvent(event_.get());
    }
}

FramePause::Request FramePause::TakeRequest() {
    const std::lock_guard lock(mutex_);
    const Request request = request_;
    request_ = Request::None;
    return request;
}

void FramePause::Wait(std::uint32_t interval,
                      const std::function<std::uint32_t()>& currentInterval) {
    if (!event_) {
        Sleep(interval);
        return;
    }
    while (WaitForSingleObject(event_.get(), interval) == WAIT_OBJECT_0) {
        if (TakeRequest() != Request::Restart) {
            return;
        }
        interval = currentInterval();
    }
}
