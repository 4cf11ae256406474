// The desktop road against the platform's monitor configuration: the
// simulated laptop's panel on Linux; under Wine Wine's one display, with the
// test process's stand-in for its physical monitor, which is not the
// maker's, so it gets no gains (tests/windows/gamut_roads_test.cpp shows
// them reaching the maker's). No answer of the monitors reaches the caller.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "test_platform.h"

namespace tw_test {

namespace {

constexpr char kDisplayVisited[] = "[LCD MonitorEnumProc DeviceName] ";
constexpr auto kPatience = std::chrono::seconds(20);
constexpr auto kPollInterval = std::chrono::milliseconds(10);

std::size_t DisplayCount() {
    std::size_t count = 0;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT, LPARAM data) -> BOOL {
            ++*reinterpret_cast<std::size_t*>(data);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

std::size_t VisitedDisplays() {
    const auto texts = DebugOutputTexts();
    return static_cast<std::size_t>(std::count_if(texts.begin(), texts.end(), [](const auto& text) {
        return text.starts_with(kDisplayVisited);
    }));
}

// The worker is the library's own: the test can only watch its trace.
bool AwaitVisitedDisplays(std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (VisitedDisplays() < count) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

}  // namespace

class DesktopMonitor : public ExportTest {};

TEST_F(DesktopMonitor, DesktopRoadTakesEveryRequestAndVisitsEveryDisplay) {
    const std::size_t displays = DisplayCount();
    ASSERT_GT(displays, 0u);
    EXPECT_EQ(TW(SetTemperatureForDesktopComputer)(1.0f, 0.9f, 0.8f, 0, 1.0), 0);
    ASSERT_TRUE(AwaitVisitedDisplays(displays));
    EXPECT_EQ(TW(SetTemperatureForDesktopComputer)(1.0f, 1.0f, 0.8f, 255, 0.5), 0);
    // The second pass visits its first display only after the first pass
    // has released every physical monitor it fetched.
    ASSERT_TRUE(AwaitVisitedDisplays(displays + 1));
    EXPECT_FALSE(TW(HaveOrvMonitor)());
}

}  // namespace tw_test
