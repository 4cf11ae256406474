// The desktop monitor worker: one thread that sends colour requests to the
// physical monitors over DDC/CI. Every request costs the monitors a few
// hundred milliseconds, so callers only hand requests over; the worker
// applies the newest request and drops the ones it superseded, and ends when
// none is left.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "discovery/display_detection.h"
#include "temperature/color_request.h"

class DesktopMonitorWorker {
  public:
    // Clears and rebuilds the process's monitor list and returns a copy of it;
    // called on the worker thread once per application.
    using RebuildDisplayList = std::function<std::vector<DisplayDeviceRecord>()>;

    explicit DesktopMonitorWorker(RebuildDisplayList rebuildDisplayList);
    // Waits until the worker has finished the work in hand, except when the
    // process is ending (see platform/library_thread.h).
    virtual ~DesktopMonitorWorker();
    DesktopMonitorWorker(const DesktopMonitorWorker&) = delete;
    DesktopMonitorWorker& operator=(const DesktopMonitorWorker&) = delete;

    // Hands a request over without waiting for the monitors. A worker is
    // started unless one is running, however many callers arrive at once.
    void Post(const ColorRequest& request);

  private:
    void Run();
    // The newest request, which supersedes the ones before it; nothing when
    // none is pending, and the worker's turn is over.
    std::optional<ColorRequest> TakeNewest();
    void Apply(const ColorRequest& request);

    RebuildDisplayList rebuildDisplayList_;
    std::mutex mutex_;
    std::condition_variable finished_;
    std::optional<ColorRequest> pending_;  // guarded by mutex_
    bool running_ = false;                 // guarded by mutex_
};
