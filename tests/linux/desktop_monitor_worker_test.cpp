// The desktop monitor worker on its own: what one pass sends and leaves
// behind, how requests that arrive while it is busy are coalesced, how it
// starts and how it ends. Destroying the worker waits for the work in hand,
// so every assertion after destruction sees the finished work.
#include <future>
#include <latch>
#include <memory>
#include <thread>

#include "../shared/test_platform.h"
#include "desktop_test_machines.h"
#include "sim/machine_clock.h"
#include "temperature/desktop_monitor_worker.h"

namespace tw_test {

namespace {

std::unique_ptr<DesktopMonitorWorker> MakeWorker() {
    return std::make_unique<DesktopMonitorWorker>([] {
        std::vector<DisplayDeviceRecord> list;
        discovery::BuildDisplayDeviceList(list);
        return list;
    });
}

ColorRequest Red(float r) {
    return ColorRequest{r, 1.0f, 1.0f, 0, 1.0};
}

void InstallOneMakersMonitor() {
    InstallDesktop({Display(1, {Monitor(kMakerMonitorId)}, {Physical("ORV2016")})});
}

// Holds the worker inside its first pause after a gain write until released.
class FirstSleepGate {
  public:
    FirstSleepGate() {
        sim::Machine::Current().Clock().SetSleepHook([this](auto) {
            if (!passed_) {
                passed_ = true;
                entered_.set_value();
                release_.get_future().wait();
            }
        });
    }
    ~FirstSleepGate() { sim::Machine::Current().Clock().SetSleepHook(nullptr); }

    void AwaitWorker() { entered_.get_future().wait(); }
    void Release() { release_.set_value(); }

  private:
    bool passed_ = false;  // touched by the sleeping thread only
    std::promise<void> entered_;
    std::promise<void> release_;
};

std::vector<std::wstring> DebugLinesFrom(const std::wstring& first) {
    const auto lines = sim::Machine::Current().DebugOutput();
    const auto start = std::find(lines.begin(), lines.end(), first);
    return {start, lines.end()};
}

}  // namespace

class DesktopWorker : public ExportTest {};

TEST_F(DesktopWorker, OnePassTracesEachDisplayAndServedMonitorAndClosesEveryHandle) {
    InstallDesktop({Display(1, {Monitor(kMakerMonitorId)}, {Physical("ORV2016")}),
                    Display(2, {Monitor(kPanelId)}, {Physical("Panel")})});
    auto worker = MakeWorker();
    worker->Post({1.0f, 0.9f, 0.8f, 0, 1.0});
    worker.reset();

    EXPECT_EQ(DebugLinesFrom(L"[LCD MonitorEnumProc Enter] \n"),
              (std::vector<std::wstring>{
                  L"[LCD MonitorEnumProc Enter] \n",
                  L"[LCD MonitorEnumProc DeviceName] \\\\.\\DISPLAY1\n",
                  L"[LCD MonitorEnumProc g_colorCurrentSet.fR] 100\n",
                  L"[LCD MonitorEnumProc g_colorCurrentSet.fG] 90\n",
                  L"[LCD MonitorEnumProc g_colorCurrentSet.fB] 80\n",
                  L"[LCD SetMonitorRedGreenOrBlueGain set Ok]\n",
                  L"[LCD MonitorEnumProc Enter] \n",
                  L"[LCD MonitorEnumProc DeviceName] \\\\.\\DISPLAY2\n",
              }));
    EXPECT_EQ(Displays().OpenedPhysicalMonitorCount(), 2u);
    EXPECT_EQ(Displays().OpenPhysicalMonitorCount(), 0u);
}

TEST_F(DesktopWorker, AnInvalidHandleStopsItsDisplayButTheNextIsVisitedAndNoHandleIsLeftOpen) {
    InstallDesktop({Display(1, {Monitor(kMakerMonitorId), Monitor(kMakerMonitorId)},
                            {Physical("First"), Physical("Broken", true), Physical("Third")}),
                    Display(2, {Monitor(kMakerMonitorId)}, {Physical("ORV2016")})});
    auto worker = MakeWorker();
    worker->Post(Red(1.0f));
    worker.reset();
    EXPECT_EQ(GainLog(),
              (std::vector<std::string>{"DISPLAY1#0 R100", "DISPLAY1#0 G100", "DISPLAY1#0 B100",
                                        "DISPLAY2#0 R100", "DISPLAY2#0 G100", "DISPLAY2#0 B100"}));
    const auto lines = sim::Machine::Current().DebugOutput();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), L"[LCD physicalMonitorHandle is nullptr]\n"),
              1);
    EXPECT_EQ(Displays().OpenPhysicalMonitorCount(), 0u);
}

TEST_F(DesktopWorker, ADisplayWithoutTheMakersMonitorIsNotServedWhenThereAreTwoElsewhere) {
    InstallDesktop({Display(1, {Monitor(kMakerMonitorId)}, {Physical("ORV2016")}),
                    Display(2, {Monitor(kMakerMonitorId)}, {Physical("ORV2016")}),
                    Display(3, {Monitor(kPanelId)}, {Physical("First"), Physical("Second")})});
    auto worker = MakeWorker();
    worker->Post(Red(0.5f));
    worker.reset();
    for (const auto& write : Displays().GainWrites()) {
        EXPECT_NE(write.monitor.display, L"\\\\.\\DISPLAY3");
    }
    EXPECT_EQ(Displays().GainWrites().size(), 6u);
}

TEST_F(DesktopWorker, TenRequestsQueuedWhileBusyGiveOneMoreApplicationOfTheTenth) {
    InstallOneMakersMonitor();
    FirstSleepGate gate;
    auto worker = MakeWorker();
    worker->Post(Red(0.10f));
    gate.AwaitWorker();
    for (int i = 1; i <= 10; ++i) {
        worker->Post(Red(static_cast<float>(10 + i) / 100.0f));
    }
    gate.Release();
    worker.reset();
    EXPECT_EQ(GainLog(),
              (std::vector<std::string>{"DISPLAY1#0 R10", "DISPLAY1#0 G100", "DISPLAY1#0 B100",
                                        "DISPLAY1#0 R20", "DISPLAY1#0 G100", "DISPLAY1#0 B100"}));
}

TEST_F(DesktopWorker, DestructionWaitsForTheApplicationUnderWayAndWhatIsQueued) {
    InstallOneMakersMonitor();
    FirstSleepGate gate;
    auto worker = MakeWorker();
    worker->Post(Red(0.25f));
    gate.AwaitWorker();
    worker->Post(Red(0.75f));
    std::thread destroyer([&worker] { worker.reset(); });
    gate.Release();
    destroyer.join();
    EXPECT_EQ(GainLog(),
              (std::vector<std::string>{"DISPLAY1#0 R25", "DISPLAY1#0 G100", "DISPLAY1#0 B100",
                                        "DISPLAY1#0 R75", "DISPLAY1#0 G100", "DISPLAY1#0 B100"}));
    EXPECT_EQ(Displays().OpenPhysicalMonitorCount(), 0u);
}

// A worker ends when nothing is pending, so a later caller may start the
// next one; but two never run at once, and no caller writes a gain itself.
TEST_F(DesktopWorker, ManyFirstCallersAtTheSameMomentGetOneWorkerAtATime) {
    InstallOneMakersMonitor();
    constexpr int kCallers = 8;
    auto worker = MakeWorker();
    std::latch ready(kCallers);
    std::vector<std::thread> callers;
    for (int i = 0; i < kCallers; ++i) {
        callers.emplace_back([&] {
            ready.arrive_and_wait();
            worker->Post(Red(0.5f));
        });
    }
    for (auto& caller : callers) {
        caller.join();
    }
    worker.reset();

    const auto writes = Displays().GainWrites();
    ASSERT_FALSE(writes.empty());
    ASSERT_EQ(writes.size() % 3, 0u);
    for (std::size_t pass = 0; pass < writes.size(); pass += 3) {
        EXPECT_EQ(writes[pass + 1].thread, writes[pass].thread);
        EXPECT_EQ(writes[pass + 2].thread, writes[pass].thread);
    }
    for (const auto& write : writes) {
        EXPECT_NE(write.thread, std::this_thread::get_id());
    }
}

// Runs in the normal suite; under the tsan preset it is the check that the
// queue, the flag and the teardown are free of data races.
TEST_F(DesktopWorker, StressManyCallersWhileTheWorkerAppliesThenTeardown) {
    InstallDesktop({Display(1, {Monitor(kMakerMonitorId)}, {Physical("ORV2016")}),
                    Display(2, {Monitor(kMakerMonitorId)}, {Physical("ORV2016")})});
    constexpr int kCallers = 4;
    constexpr int kRequestsEach = 250;
    auto worker = MakeWorker();
    std::vector<std::thread> callers;
    for (int c = 0; c < kCallers; ++c) {
        callers.emplace_back([&worker, c] {
            for (int i = 0; i < kRequestsEach; ++i) {
                worker->Post({1.0f, static_cast<float>(i) / kRequestsEach,
                              static_cast<float>(c) / kCallers, static_cast<std::uint32_t>(i),
                              0.5});
            }
        });
    }
    for (auto& caller : callers) {
        caller.join();
    }
    worker->Post(Red(0.5f));
    worker.reset();

    const auto log = GainLog();
    ASSERT_GE(log.size(), 6u);
    EXPECT_LE(log.size(), 6u * (kCallers * kRequestsEach + 1));
    EXPECT_EQ(std::vector<std::string>(log.end() - 6, log.end()),
              (std::vector<std::string>{"DISPLAY1#0 R50", "DISPLAY1#0 G100", "DISPLAY1#0 B100",
                                        "DISPLAY2#0 R50", "DISPLAY2#0 G100", "DISPLAY2#0 B100"}));
    EXPECT_EQ(Displays().OpenPhysicalMonitorCount(), 0u);
}

}  // namespace tw_test
