#include "temperature/desktop_monitor_worker.h"

#include <windows.h>

#include <exception>

#include "frame/log_line.h"
#include "platform/process_end.h"
#include "temperature/desktop_monitor_gains.h"
#include "util/text_conversion.h"

namespace {

constexpr int kErrorLevel = 3;

}  // namespace

DesktopMonitorWorker::DesktopMonitorWorker(RebuildDisplayList rebuildDisplayList)
    : rebuildDisplayList_(std::move(rebuildDisplayList)) {}

// The flag is cleared under the mutex: cleared between the worker's look at
// it and its wait, the wake-up would be lost and the join would never end.
DesktopMonitorWorker::~DesktopMonitorWorker() {
    if (platform::ProcessIsEnding()) {
        // The system has ended the thread, perhaps holding the mutex: the
        // thread object is left behind with the process rather than joined.
        static_cast<void>(thread_.release());
        return;
    }
    {
        std::lock_guard lock(mutex_);
        running_ = false;
    }
    wake_.notify_one();
    if (thread_) {
        thread_->join();
    }
}

void DesktopMonitorWorker::Post(const ColorRequest& request) {
    std::call_once(started_, [this] { Start(); });
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(request);
    }
    wake_.notify_one();
}

// Runs once; a thread that cannot be created leaves the once flag unset, so
// the next request tries again.
void DesktopMonitorWorker::Start() {
    {
        std::lock_guard lock(mutex_);
        running_ = true;
    }
    thread_ = std::make_unique<std::thread>(&DesktopMonitorWorker::Run, this);
}

void DesktopMonitorWorker::Run() {
    while (const auto request = TakeNewest()) {
        // An exception must not end the process from this thread: the
        // request is given up and the worker waits for the next one.
        try {
            Apply(*request);
        } catch (const std::exception& error) {
            Log(kErrorLevel, "DesktopMonitorWorker::Run")
                << L"desktop colour not applied: " << AnsiToWide(error.what());
        }
    }
}

std::optional<ColorRequest> DesktopMonitorWorker::TakeNewest() {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return !queue_.empty() || !running_; });
    if (queue_.empty()) {
        return std::nullopt;
    }
    const ColorRequest newest = queue_.back();
    queue_.clear();
    return newest;
}

void DesktopMonitorWorker::Apply(const ColorRequest& request) {
    g_colorCurrentSet = request;
    const std::vector<DisplayDeviceRecord> displayDeviceList = rebuildDisplayList_();
    EnumDisplayMonitors(nullptr, nullptr, &MonitorEnumProc,
                        reinterpret_cast<LPARAM>(&displayDeviceList));
}
