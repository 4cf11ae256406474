// The desktop road through its export: the gains that reach the monitors'
// DDC/CI, which physical monitors are served, and the displays that are
// skipped. The worker is the library's own, so a test waits for the gain
// writes it expects; each case is built so that those writes end the pass.
#include <algorithm>
#include <cmath>

#include "../shared/test_platform.h"
#include "desktop_test_machines.h"

namespace tw_test {

namespace {

int Post(float r, float g, float b, unsigned int level = 0, double ratio = 1.0) {
    return TW(SetTemperatureForDesktopComputer)(r, g, b, level, ratio);
}

std::vector<std::string> Served(const char* display, int monitor, const char* r, const char* g,
                                const char* b) {
    const std::string prefix = std::string(display) + "#" + std::to_string(monitor) + " ";
    return {prefix + "R" + r, prefix + "G" + g, prefix + "B" + b};
}

std::vector<std::string> Join(std::vector<std::string> first,
                              const std::vector<std::string>& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

void InstallMakersMonitors(int displays) {
    std::vector<nlohmann::json> adapters;
    for (int number = 1; number <= displays; ++number) {
        adapters.push_back(Display(number, {Monitor(kMakerMonitorId)}, {Physical("ORV2016")}));
    }
    InstallDesktop(adapters);
}

}  // namespace

class DesktopRoad : public ExportTest {};

TEST_F(DesktopRoad, GainsArePercentagesPausedFiftyMillisecondsApart) {
    InstallMakersMonitors(1);
    EXPECT_EQ(Post(1.0f, 0.9f, 0.8f), 0);
    ASSERT_TRUE(AwaitGainWrites(3));
    EXPECT_EQ(Post(0.5f, 0.25f, 0.0f), 0);
    ASSERT_TRUE(AwaitGainWrites(6));

    EXPECT_EQ(GainLog(), Join(Served("DISPLAY1", 0, "100", "90", "80"),
                              Served("DISPLAY1", 0, "50", "25", "0")));
    std::vector<long long> times;
    for (const auto& write : Displays().GainWrites()) {
        times.push_back(write.time.count());
    }
    EXPECT_EQ(times, (std::vector<long long>{0, 50, 100, 150, 200, 250}));
}

TEST_F(DesktopRoad, BlueProtectionScalesBlueOnlyAtTheFullLevel) {
    InstallMakersMonitors(1);
    Post(1.0f, 1.0f, 0.8f, 255, 0.5);
    ASSERT_TRUE(AwaitGainWrites(3));
    Post(1.0f, 1.0f, 0.8f, 254, 0.5);
    ASSERT_TRUE(AwaitGainWrites(6));
    Post(1.0f, 1.0f, 0.33f, 255, 0.5);
    ASSERT_TRUE(AwaitGainWrites(9));
    EXPECT_EQ(GainLog(), Join(Join(Served("DISPLAY1", 0, "100", "100", "40"),
                                   Served("DISPLAY1", 0, "100", "100", "80")),
                              Served("DISPLAY1", 0, "100", "100", "16")));
}

TEST_F(DesktopRoad, GainsOutsideWhatAMonitorCanTakeAreHeldToItsRange) {
    InstallMakersMonitors(1);
    Post(-0.5f, 0.0f, 1e30f);
    ASSERT_TRUE(AwaitGainWrites(3));
    Post(1.0f, 1.0f, 1.0f, 255, -2.0);
    ASSERT_TRUE(AwaitGainWrites(6));
    EXPECT_EQ(GainLog(), Join(Served("DISPLAY1", 0, "0", "0", "4294967295"),
                              Served("DISPLAY1", 0, "100", "100", "0")));
}

TEST_F(DesktopRoad, WithOneMakersMonitorTheOtherDisplaysAreServedFromTheirSecondMonitor) {
    InstallDesktop({Display(1, {Monitor(kMakerMonitorId)}, {Physical("ORV2016"), Physical("A1")}),
                    Display(2, {Monitor(kPanelId)}, {Physical("B0"), Physical("B1")})});
    Post(1.0f, 0.9f, 0.8f);
    ASSERT_TRUE(AwaitGainWrites(6));
    EXPECT_EQ(GainLog(), Join(Served("DISPLAY1", 0, "100", "90", "80"),
                              Served("DISPLAY2", 1, "100", "90", "80")));
}

TEST_F(DesktopRoad, ADisplayWhoseMonitorsCannotBeCountedOrFetchedIsSkipped) {
    InstallMakersMonitors(3);
    sim::Machine::Current().FailCall("GetNumberOfPhysicalMonitorsFromHMONITOR",
                                     ERROR_ACCESS_DENIED);
    Post(0.5f, 0.5f, 0.5f);
    ASSERT_TRUE(AwaitGainWrites(6));
    sim::Machine::Current().FailCall("GetPhysicalMonitorsFromHMONITOR", ERROR_ACCESS_DENIED);
    Post(0.25f, 0.25f, 0.25f);
    ASSERT_TRUE(AwaitGainWrites(12));
    EXPECT_EQ(GainLog(), Join(Join(Served("DISPLAY2", 0, "50", "50", "50"),
                                   Served("DISPLAY3", 0, "50", "50", "50")),
                              Join(Served("DISPLAY2", 0, "25", "25", "25"),
                                   Served("DISPLAY3", 0, "25", "25", "25"))));
}

TEST_F(DesktopRoad, ARefusedGainIsNotRetriedAndTheOthersStillGo) {
    InstallMakersMonitors(1);
    sim::Machine::Current().FailCall("SetMonitorRedGreenOrBlueGain", ERROR_ACCESS_DENIED);
    Post(0.5f, 0.5f, 0.5f);
    ASSERT_TRUE(AwaitGainWrites(3));
    const auto writes = Displays().GainWrites();
    EXPECT_FALSE(writes[0].accepted);
    EXPECT_TRUE(writes[1].accepted && writes[2].accepted);
    EXPECT_EQ(GainLog(), Served("DISPLAY1", 0, "50", "50", "50"));
}

// dxva2 comes from the system directory for each pass and is given back
// after it; one without all of its functions leaves the monitors alone.
TEST_F(DesktopRoad, EachPassLoadsTheSystemsDxva2AndGivesItBack) {
    InstallMakersMonitors(1);
    const auto passesEnded = [](int passes) {
        return AwaitCondition(
            [passes] {
                return Displays().LibraryLoads(sim::SystemLibrary::Dxva2) == passes &&
                       Displays().LibraryReferences(sim::SystemLibrary::Dxva2) == 0;
            },
            kPatience);
    };
    sim::Machine::Current().FailCall("GetProcAddress:SetMonitorRedGreenOrBlueGain",
                                     ERROR_PROC_NOT_FOUND);
    Post(0.5f, 0.5f, 0.5f);
    ASSERT_TRUE(passesEnded(1));
    Post(0.25f, 0.25f, 0.25f);
    ASSERT_TRUE(AwaitGainWrites(3));
    ASSERT_TRUE(passesEnded(2));

    EXPECT_EQ(GainLog(), Served("DISPLAY1", 0, "25", "25", "25"));
    const auto lines = sim::Machine::Current().DebugOutput();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         L"[LCD dxva2 not loaded from the system directory]\n"),
              1);
}

// \\.\DISPLAY10\Monitor0 contains the text \\.\DISPLAY1, but it is not one of
// that display's monitors.
TEST_F(DesktopRoad, AMakersMonitorBelongsOnlyToItsOwnDisplay) {
    InstallDesktop({Display(1, {Monitor(kPanelId)}, {Physical("Panel")}),
                    Display(10, {Monitor(kMakerMonitorId)}, {Physical("ORV2016")})});
    Post(1.0f, 1.0f, 1.0f);
    ASSERT_TRUE(AwaitGainWrites(3));
    EXPECT_EQ(GainLog(), Served("DISPLAY10", 0, "100", "100", "100"));
}

TEST_F(DesktopRoad, EachApplicationRebuildsTheMonitorList) {
    InstallMachine({Adapter("Intel(R) UHD Graphics 620", kPrimary, {Monitor(kPanelId)})});
    EXPECT_FALSE(TW(HaveOrvMonitor)());
    InstallMakersMonitors(1);
    Post(1.0f, 1.0f, 1.0f);
    ASSERT_TRUE(AwaitGainWrites(3));
    EXPECT_TRUE(TW(HaveOrvMonitor)());
}

// The process ends while the worker may still be applying: the colour
// operator's destruction at exit must join it cleanly (and, under the tsan
// preset, without a data race).
TEST_F(DesktopRoad, StressCallersFromManyThreadsUntilTheProcessEnds) {
    InstallMakersMonitors(2);
    std::vector<std::thread> callers;
    for (int c = 0; c < 4; ++c) {
        callers.emplace_back([] {
            for (int i = 0; i < 200; ++i) {
                EXPECT_EQ(Post(1.0f, static_cast<float>(i) / 200.0f, 0.5f), 0);
            }
        });
    }
    for (auto& caller : callers) {
        caller.join();
    }
    ASSERT_TRUE(AwaitGainWrites(3));
}

}  // namespace tw_test
