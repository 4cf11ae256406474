// The desktop monitor worker: one thread that sends colour requests to the
// physical monitors over DDC/CI. Every request costs the monitors a few
// hundred milliseconds, so callers only queue; the worker applies the newest
// request and drops the ones it superseded.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "discovery/display_detection.h"
#include "temperature/color_request.h"

class DesktopMonitorWorker {
  public:
    // Clears and rebuilds the process's monitor list and returns a copy of it;
    // called on the worker thread once per application.
    using RebuildDisplayList = std::function<std::vector<DisplayDeviceRecord>()>;

    explicit DesktopMonitorWorker(RebuildDisplayList rebuildDisplayList);
    // Lets the worker finish what it is applying and what is still queued,
    // then joins it.
    virtual ~DesktopMonitorWorker();
    DesktopMonitorWorker(const DesktopMonitorWorker&) = delete;
    DesktopMonitorWorker& operator=(const DesktopMonitorWorker&) = delete;

    // Queues a request without waiting for the monitors; the first call starts
    // the worker, however many callers arrive at once.
    void Post(const ColorRequest& request);

  private:
    void Start();
    void Run();
    // The newest queued request, the older ones dropped; waits while the
    // queue is empty. Nothing once the queue is empty and the worker stops.
    std::optional<ColorRequest> TakeNewest();
    void Apply(const ColorRequest& request);

    RebuildDisplayList rebuildDisplayList_;
    std::once_flag started_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<ColorRequest> queue_;  // guarded by mutex_
    bool running_ = false;            // guarded by mutex_
    // Held on the heap so that it can be abandoned when Windows has already
    // ended the thread at process exit.
    std::unique_ptr<std::thread> thread_;
};
