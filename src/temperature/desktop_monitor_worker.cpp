#include "temperature/desktop_monitor_worker.h"

#include <windows.h>

#include <exception>
#include <utility>

#include "log/debug_line.h"
#include "log/log_line.h"
#include "platform/dxva2_library.h"
#include "platform/library_thread.h"
#include "platform/process_end.h"
#include "temperature/desktop_monitor_gains.h"
#include "util/text_conversion.h"

DesktopMonitorWorker::DesktopMonitorWorker(RebuildDisplayList rebuildDisplayList)
    : rebuildDisplayList_(std::move(rebuildDisplayList)) {}

DesktopMonitorWorker::~DesktopMonitorWorker() {
    if (platform::ProcessIsEnding()) {
        // The system has ended the worker, perhaps while it held the mutex.
        return;
    }
    std::unique_lock lock(mutex_);
    if (running_) {
        platform::KeepLibraryUntilProcessEnd();
    }
    finished_.wait(lock, [this] { return !running_; });
}

void DesktopMonitorWorker::Post(const ColorRequest& request) {
    {
        std::lock_guard lock(mutex_);
        pending_ = request;
        if (running_) {
            return;
        }
        running_ = true;
    }
    if (platform::StartLibraryThread([this] { Run(); })) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        running_ = false;
        finished_.notify_all();
    }
    Log(log_level::kError, "DesktopMonitorWorker::Post")
        << L"desktop colour worker not started; the request waits for the next one.";
}

void DesktopMonitorWorker::Run() {
    while (const auto request = TakeNewest()) {
        // An exception must not end the process from this thread: the
        // request is given up and the worker goes on with the next one.
        try {
            Apply(*request);
        } catch (const std::exception& error) {
            Log(log_level::kError, "DesktopMonitorWorker::Run")
                << L"desktop colour not applied: " << AnsiToWide(error.what());
        }
    }
}

// The turn ends under the lock, and the owner is told under it too: an
// owner waiting to be destroyed may go as soon as the lock is released, and
// nothing of the worker touches it after that.
std::optional<ColorRequest> DesktopMonitorWorker::TakeNewest() {
    std::lock_guard lock(mutex_);
    if (!pending_) {
        running_ = false;
        finished_.notify_all();
        return std::nullopt;
    }
    return std::exchange(pending_, std::nullopt);
}

void DesktopMonitorWorker::Apply(const ColorRequest& request) {
    g_colorCurrentSet = request;
    const std::vector<DisplayDeviceRecord> displayDeviceList = rebuildDisplayList_();
    const Dxva2Library dxva2;
    if (!dxva2.Loaded()) {
        DebugTrace() << L"[LCD dxva2 not loaded from the system directory]";
        return;
    }
    const DesktopPass pass{displayDeviceList, dxva2.EntryPoints()};
    EnumDisplayMonitors(nullptr, nullptr, &MonitorEnumProc, reinterpret_cast<LPARAM>(&pass));
}
