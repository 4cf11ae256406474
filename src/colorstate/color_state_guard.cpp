#include "colorstate/color_state_guard.h"

#include <algorithm>
#include <exception>

#include "colorstate/color_state_record.h"
#include "colorstate/color_state_targets.h"
#include "log/log_line.h"
#include "platform/library_thread.h"
#include "platform/process_end.h"
#include "temperature/operate_color.h"
#include "tintwell/tintwell.h"
#include "util/text_conversion.h"

namespace {

constexpr std::uint32_t kShortestInterval = 100;
constexpr std::uint32_t kLongestInterval = 3'600'000;
constexpr unsigned long long kBackOffWindowMs = 60'000;
constexpr std::size_t kPutBacksBeforeBackOff = 3;
// A monitor that has just woken or appeared answers DDC/CI only after a
// while: tried again after 0.5, 1, 2 and 4 s, about ten seconds in all.
constexpr std::chrono::milliseconds kFirstRetryPause{500};
constexpr int kRetries = 4;
constexpr auto kStopPatience = std::chrono::seconds(30);
constexpr const char* kSource = "ColorStateGuard";

const wchar_t* RoadName(unsigned road) {
    switch (road) {
        case TW_COLOR_STATE_GAMMA_RAMP:
            return L"gamma ramp";
        case TW_COLOR_STATE_MONITOR_GAINS:
            return L"DDC/CI gains";
        case TW_COLOR_STATE_GAMUT_PROFILE:
            return L"default colour profile";
        default:
            return L"AMD gamut";
    }
}

bool Guarded(const TargetCheck& check) {
    return (check.road & TW_COLOR_STATE_DRIFTED) != 0 && check.held != TargetCheck::Held::Yes;
}

}  // namespace

ColorStateGuard& ColorStateGuard::Instance() {
    static ColorStateGuard instance;
    return instance;
}

// The colour operator, whose ADL the passes read, is made first so that it
// is destroyed only after this guard has waited for its thread.
ColorStateGuard::ColorStateGuard() : wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    OperateColor::Instance();
}

ColorStateGuard::~ColorStateGuard() {
    if (platform::ProcessIsEnding()) {
        return;
    }
    std::unique_lock lock(mutex_);
    if (!running_) {
        return;
    }
    platform::KeepLibraryUntilProcessEnd();
    stopping_ = true;
    if (wake_) {
        SetEvent(wake_.get());
    }
    finished_.wait_for(lock, kStopPatience, [this] { return !running_; });
}

int ColorStateGuard::Start(std::uint32_t intervalMs) {
    if (intervalMs < kShortestInterval || intervalMs > kLongestInterval) {
        Log(log_level::kError, "StartColorStateGuard")
            << L"interval out of range (100 … 3600000 ms): " << intervalMs;
        return -1;
    }
    if (!wake_) {
        Log(log_level::kError, "StartColorStateGuard") << L"CreateEventW failed; no guard";
        return -1;
    }
    {
        const std::lock_guard lock(mutex_);
        intervalMs_ = intervalMs;
        putBacks_.clear();
        leftAlone_.clear();
        if (running_ && !stopping_) {
            SetEvent(wake_.get());
            return 0;
        }
        if (running_) {
            Log(log_level::kError, "StartColorStateGuard") << L"the guard is still stopping";
            return -1;
        }
        running_ = true;
        stopping_ = false;
    }
    if (platform::StartLibraryThread([this] { Run(); })) {
        return 0;
    }
    const std::lock_guard lock(mutex_);
    running_ = false;
    finished_.notify_all();
    Log(log_level::kError, "StartColorStateGuard") << L"the guard thread could not be started";
    return -1;
}

int ColorStateGuard::Stop() {
    std::unique_lock lock(mutex_);
    if (!running_ || stopping_) {
        Log(log_level::kError, "StopColorStateGuard") << L"no guard is running";
        return -1;
    }
    stopping_ = true;
    SetEvent(wake_.get());
    if (!finished_.wait_for(lock, kStopPatience, [this] { return !running_; })) {
        Log(log_level::kWarning, "StopColorStateGuard")
            << L"the guard is still putting a target back; it stops after that";
    }
    return 0;
}

void ColorStateGuard::Forgive() {
    const std::lock_guard lock(mutex_);
    putBacks_.clear();
    leftAlone_.clear();
}

// The turn ends under the lock, and whoever waits is told under it too: an
// owner being destroyed may go as soon as the lock is released.
void ColorStateGuard::Run() {
    while (Pause(Interval(), true)) {
        try {
            Pass();
        } catch (const std::exception& error) {
            Log(log_level::kError, kSource) << L"pass given up: " << AnsiToWide(error.what());
        }
    }
    const std::lock_guard lock(mutex_);
    running_ = false;
    stopping_ = false;
    finished_.notify_all();
}

std::chrono::milliseconds ColorStateGuard::Interval() {
    const std::lock_guard lock(mutex_);
    return std::chrono::milliseconds(intervalMs_);
}

// A wake that is not a stop is a new interval: an interval's pause starts
// again with it, a retry's pause ends.
bool ColorStateGuard::Pause(std::chrono::milliseconds pause, bool followInterval) {
    for (;;) {
        const auto waited = WaitForSingleObject(wake_.get(), static_cast<DWORD>(pause.count()));
        if (Stopping()) {
            return false;
        }
        if (waited != WAIT_OBJECT_0 || !followInterval) {
            return true;
        }
        pause = Interval();
    }
}

bool ColorStateGuard::Stopping() {
    const std::lock_guard lock(mutex_);
    return stopping_;
}

void ColorStateGuard::Pass() {
    const ColorStateSnapshot snapshot = ColorStateRecord::Instance().Snapshot();
    for (const TargetCheck& check : CheckTargets(snapshot)) {
        if (Guarded(check)) {
            Guard(snapshot, check);
        }
    }
}

void ColorStateGuard::Guard(const ColorStateSnapshot& snapshot, const TargetCheck& check) {
    const Target target{check.road, check.target};
    if (!MayPutBack(target, check)) {
        return;
    }
    Log(log_level::kWarning, kSource) << L"The " << RoadName(check.road) << L" of " << check.target
                                      << L" drifted (" << check.detail << L"); putting it back";
    if (!PutBackAnswered(snapshot, check)) {
        // Asking again every pass would hold every other target up by the
        // retries' ten seconds: a display that comes back is the
        // front-end's cue for RestoreColorState.
        Log(log_level::kWarning, kSource)
            << L"The " << RoadName(check.road) << L" of " << check.target
            << L" could not be put back: no answer within about ten seconds; the guard leaves "
               L"it alone until RestoreColorState";
        const std::lock_guard lock(mutex_);
        leftAlone_.insert(target);
        return;
    }
    Log(log_level::kWarning, kSource)
        << L"The " << RoadName(check.road) << L" of " << check.target << L" is put back";
    const std::lock_guard lock(mutex_);
    putBacks_[target].push_back(GetTickCount64());
}

bool ColorStateGuard::MayPutBack(const Target& target, const TargetCheck& check) {
    const unsigned long long now = GetTickCount64();
    const std::lock_guard lock(mutex_);
    if (leftAlone_.contains(target)) {
        return false;
    }
    auto& times = putBacks_[target];
    std::erase_if(times, [now](unsigned long long t) { return now - t >= kBackOffWindowMs; });
    if (times.size() < kPutBacksBeforeBackOff) {
        return true;
    }
    leftAlone_.insert(target);
    Log(log_level::kWarning, kSource)
        << L"another program keeps changing the " << RoadName(check.road) << L" of " << check.target
        << L"; the guard leaves it alone until RestoreColorState";
    return false;
}

bool ColorStateGuard::PutBackAnswered(const ColorStateSnapshot& snapshot,
                                      const TargetCheck& check) {
    std::chrono::milliseconds pause = kFirstRetryPause;
    for (int attempt = 0;; ++attempt) {
        if (PutBack(snapshot, check)) {
            return true;
        }
        if (attempt == kRetries || !Pause(pause, false)) {
            return false;
        }
        pause *= 2;
    }
}
