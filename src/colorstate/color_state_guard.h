// The colour state guard: one library thread that reads back, every
// interval, what the library applied and puts back what drifted. It never
// fights: a target put back three times within a minute is left alone (one
// warning says so) until RestoreColorState or a new start. A target that
// does not answer (a monitor waking from sleep ignores DDC/CI for seconds)
// is tried again after growing pauses, up to about ten seconds.
//
// The thread is a library thread (platform/library_thread.h): it keeps the
// library loaded until it is stopped, and at process exit nobody waits for it.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

struct TargetCheck;
struct ColorStateSnapshot;

class ColorStateGuard {
  public:
    static ColorStateGuard& Instance();

    ColorStateGuard();
    // Stops the thread and waits for it, except when the process is ending.
    ~ColorStateGuard();
    ColorStateGuard(const ColorStateGuard&) = delete;
    ColorStateGuard& operator=(const ColorStateGuard&) = delete;

    // 0; -1 (one line) for an interval outside 100 ms … 1 h or no thread.
    int Start(std::uint32_t intervalMs);
    // 0; -1 when no guard was running.
    int Stop();
    // Every target left alone is guarded again.
    void Forgive();

  private:
    using Target = std::pair<unsigned, std::wstring>;
    struct CloseEvent {
        void operator()(HANDLE event) const { CloseHandle(event); }
    };

    void Run();
    std::chrono::milliseconds Interval();
    // Pauses `pause`; false when the guard is to stop.
    bool Pause(std::chrono::milliseconds pause, bool followInterval);
    bool Stopping();
    void Pass();
    void Guard(const ColorStateSnapshot& snapshot, const TargetCheck& check);
    // Whether `target` may be put back now; the third put-back within a
    // minute leaves it alone from then on.
    bool MayPutBack(const Target& target, const TargetCheck& check);
    bool PutBackAnswered(const ColorStateSnapshot& snapshot, const TargetCheck& check);

    std::mutex mutex_;
    std::condition_variable finished_;
    bool running_ = false;   // guarded by mutex_
    bool stopping_ = false;  // guarded by mutex_
    std::uint32_t intervalMs_ = 0;
    std::map<Target, std::vector<unsigned long long>> putBacks_;  // tick counts, guarded
    std::set<Target> leftAlone_;                                  // guarded by mutex_
    // Auto-reset: a stop or a new interval ends the pause in progress.
    std::unique_ptr<std::remove_pointer_t<HANDLE>, CloseEvent> wake_;
};
