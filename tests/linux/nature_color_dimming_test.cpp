// Nature colour transitions on the simulated machine: what each frame left
// in the settings, the Intel driver's ramp and the AMD white point, on the
// machine's virtual clock.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "../shared/test_platform.h"
#include "adl_test_machines.h"
#include "naturecolor/natural_tone.h"
#include "sim/intel_driver_model.h"
#include "sim/machine.h"
#include "sim/machine_clock.h"

namespace tw_test {

namespace {

using std::chrono::milliseconds;

constexpr std::int32_t kDeviceId = 12345;
constexpr int kRampTop = 65535;
constexpr milliseconds kPatience{20000};

sim::Machine& Machine() {
    return sim::Machine::Current();
}

std::vector<float> StoredCcts() {
    std::vector<float> ccts;
    for (const auto& write : Machine().ProfileWrites()) {
        if (write.key == L"SensorColor") {
            ccts.push_back(std::stof(write.value));
        }
    }
    return ccts;
}

std::vector<sim::GammaRampCall> Ramps() {
    return Machine().IntelDriver().GammaRampCalls();
}

// The gain a ramp carries for one channel: its top entry over full scale.
double RampGain(const sim::GammaRampCall& call, int channel) {
    return static_cast<double>(call.ramp.at(channel * 256 + 255)) / kRampTop;
}

std::vector<float> Sequence(float from, float step, int frames, float target) {
    std::vector<float> ccts;
    for (int i = 1; i <= frames; ++i) {
        ccts.push_back(from + step * static_cast<float>(i));
    }
    ccts.push_back(target);
    return ccts;
}

}  // namespace

// An Intel laptop with nature colour on, a three-row table from 3000 K to
// 7000 K, the default configuration and the driver's device id stored.
class Dimming : public ExportTest {
  protected:
    void SetUp() override {
        ExportTest::SetUp();
        PrepareSettings();
        TW(InitMonitorId)();
        Configure(50);
    }

    static void PrepareSettings() {
        StoreNeutralNatureColourSettings();
        TW(ClearMappingInfo)();
        TW(AddCctMappingInfo)(3000.0f, 1.0, 0.7, 0.4);
        TW(AddCctMappingInfo)(5000.0f, 1.0, 1.0, 1.0);
        TW(AddCctMappingInfo)(7000.0f, 0.8, 0.9, 1.0);
    }

    static void Configure(unsigned frames, float diffThresh = 100.0f) {
        TW(SetNatureColorAll)(frames, 100, 0, diffThresh, 4000.0f, 50.0f);
    }

    // A reading, and the transition it starts run to its end.
    static int Reading(float kelvin, float lux = 300.0f) {
        const int result = NaturalTone::Instance().StartCctDimming(kelvin, lux);
        EXPECT_TRUE(AwaitCondition([] { return !NaturalTone::Instance().DimmingWorkerRunning(); },
                                   kPatience));
        return result;
    }

    // The CCTs stored by the frames of the readings from here on.
    static std::vector<float> FramesOf(const std::vector<float>& kelvins) {
        const std::size_t before = StoredCcts().size();
        for (const float kelvin : kelvins) {
            EXPECT_EQ(Reading(kelvin), 0);
        }
        const auto all = StoredCcts();
        return {all.begin() + static_cast<long>(before), all.end()};
    }
};

TEST_F(Dimming, AReadingMovesTheDriverRampFrameByFrameToTheTargetAndSetsItTwice) {
    const milliseconds start = Machine().Clock().Now();
    EXPECT_EQ(FramesOf({6000.0f}), Sequence(5000.0f, 20.0f, 50, 6000.0f));

    const auto ramps = Ramps();
    ASSERT_EQ(ramps.size(), 51u);
    for (std::size_t i = 0; i < ramps.size(); ++i) {
        EXPECT_EQ(ramps[i].deviceId, kDeviceId);
        EXPECT_EQ(ramps[i].time - start, milliseconds(100) * static_cast<long>(i));
    }
    // 6000 K lies halfway between the 5000 K and 7000 K rows.
    EXPECT_NEAR(RampGain(ramps.back(), 0), 0.9, 1e-4);
    EXPECT_NEAR(RampGain(ramps.back(), 1), 0.95, 1e-4);
    EXPECT_EQ(RampGain(ramps.back(), 2), 1.0);
    EXPECT_EQ(ramps[50].ramp, ramps[49].ramp);
    EXPECT_EQ(TW(GetSensorColor)(-1.0f), 6000.0f);
}

TEST_F(Dimming, StepsAreWholeKelvinsAndTheLastFrameSetsTheTarget) {
    Configure(50, 10.0f);
    // 70 K over 50 frames: a step of 1 K and a jump at the end.
    EXPECT_EQ(FramesOf({5070.0f}), Sequence(5000.0f, 1.0f, 50, 5070.0f));
    // Downwards from 6000 K.
    FramesOf({6000.0f});
    EXPECT_EQ(FramesOf({5000.0f}), Sequence(6000.0f, -20.0f, 50, 5000.0f));
    // Less than a kelvin per frame: the screen waits, then takes the target.
    EXPECT_EQ(FramesOf({5040.0f}), Sequence(5000.0f, 0.0f, 50, 5040.0f));
}

TEST_F(Dimming, LowLightTakesTheLowLightCctBelowTheThresholdOnly) {
    EXPECT_EQ(Reading(6000.0f, 50.0f), 0);
    EXPECT_EQ(StoredCcts().back(), 6000.0f);
    EXPECT_EQ(Reading(6000.0f, 49.9f), 0);
    EXPECT_EQ(StoredCcts().back(), 4000.0f);
}

TEST_F(Dimming, ReadingsWithinTheDifferenceThresholdOfTheLastTargetStartNothing) {
    FramesOf({6000.0f});
    EXPECT_TRUE(FramesOf({6100.0f, 5900.0f}).empty());
    // Clamped to the table for the screen, unclamped for the comparison.
    EXPECT_EQ(FramesOf({9000.0f}).back(), 7000.0f);
    EXPECT_TRUE(FramesOf({8950.0f}).empty());
    EXPECT_EQ(FramesOf({8850.0f}).back(), 7000.0f);
}

TEST_F(Dimming, ANewReadingRestartsTheTransitionFromTheCctReached) {
    int sleeps = 0;
    Machine().Clock().SetSleepHook([&](milliseconds) {
        if (++sleeps == 10) {
            NaturalTone::Instance().StartCctDimming(3000.0f, 300.0f);
        }
        if (sleeps == 20) {
            // Close enough to the new target: the transition goes on.
            NaturalTone::Instance().StartCctDimming(3050.0f, 300.0f);
        }
    });
    const auto frames = FramesOf({6000.0f});
    Machine().Clock().SetSleepHook(nullptr);
    // Ten frames up to 5200 K, then 51 down from there in steps of 44 K.
    ASSERT_EQ(frames.size(), 61u);
    EXPECT_EQ(frames[9], 5200.0f);
    EXPECT_EQ(frames[10], 5156.0f);
    EXPECT_EQ(frames[59], 3000.0f);
    EXPECT_EQ(frames[60], 3000.0f);
}

TEST_F(Dimming, AFrameCountOfZeroSetsTheTargetInOneFrame) {
    Configure(0);
    EXPECT_EQ(FramesOf({6000.0f}), std::vector<float>{6000.0f});
    // A count too large for the signed field turns negative: the same.
    Configure(0xFFFFFFFFu);
    EXPECT_EQ(FramesOf({4000.0f}), std::vector<float>{4000.0f});
}

TEST_F(Dimming, NatureColourSwitchedOffEndsTheTransitionWithTheCircleGains) {
    int sleeps = 0;
    Machine().Clock().SetSleepHook([&](milliseconds) {
        if (++sleeps == 5) {
            TW(SetIsNatureColor)(0);
        }
    });
    FramesOf({6000.0f});
    Machine().Clock().SetSleepHook(nullptr);
    const auto ramps = Ramps();
    ASSERT_EQ(ramps.size(), 6u);
    EXPECT_EQ(RampGain(ramps.back(), 0), 1.0);
    EXPECT_EQ(RampGain(ramps.back(), 1), 1.0);
    // The frame stored its CCT, then the reading of no sensor.
    EXPECT_EQ(TW(GetSensorColor)(-1.0f), 5000.0f);
    EXPECT_EQ(TW(GetSensorLight)(-1.0f), 300.0f);
}

// The engine before any SetNatureColorAll: a front-end that configures it
// late has its first readings judged by the defaults (4000 K below 50 lux,
// a change of more than 100 K, 50 frames 100 ms apart on the Intel road).
struct DefaultCase {
    const char* name;
    std::vector<std::pair<float, float>> readings;  // kelvin, lux
    std::vector<float> frames;
};

void PrintTo(const DefaultCase& defaults, std::ostream* out) {
    *out << defaults.name;
}

class UnconfiguredDimming : public Dimming, public ::testing::WithParamInterface<DefaultCase> {
  protected:
    void SetUp() override {
        ExportTest::SetUp();
        PrepareSettings();
        TW(InitMonitorId)();
    }
};

TEST_P(UnconfiguredDimming, TheDefaultsDecideTheFirstReadings) {
    const milliseconds start = Machine().Clock().Now();
    for (const auto& [kelvin, lux] : GetParam().readings) {
        EXPECT_EQ(Reading(kelvin, lux), 0);
    }
    EXPECT_EQ(StoredCcts(), GetParam().frames);
    const auto ramps = Ramps();
    ASSERT_EQ(ramps.size(), GetParam().frames.size());
    for (std::size_t i = 0; i < ramps.size(); ++i) {
        EXPECT_EQ(ramps[i].time - start, milliseconds(100) * static_cast<long>(i));
    }
}

INSTANTIATE_TEST_SUITE_P(Defaults, UnconfiguredDimming,
                         ::testing::Values(DefaultCase{"LowLightCct",
                                                       {{6000.0f, 49.0f}},
                                                       Sequence(5000.0f, -20.0f, 50, 4000.0f)},
                                           DefaultCase{"LuminanceThreshold",
                                                       {{6000.0f, 50.0f}},
                                                       Sequence(5000.0f, 20.0f, 50, 6000.0f)},
                                           DefaultCase{"CctDifferenceThreshold",
                                                       {{5100.0f, 300.0f}, {5101.0f, 300.0f}},
                                                       Sequence(5000.0f, 2.0f, 50, 5101.0f)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Dimming, TheDefaultStateAppliesOnceAndTheNextReadingOnlyInitialises) {
    EXPECT_EQ(TW(SetDefaultNatureColor)(), 0);
    ASSERT_EQ(Ramps().size(), 1u);
    EXPECT_EQ(TW(GetIsInitAmbientCct)(-1), 1);
    EXPECT_TRUE(FramesOf({6500.0f}).empty());
    EXPECT_EQ(TW(GetIsInitAmbientCct)(-1), 0);
    EXPECT_TRUE(FramesOf({6550.0f}).empty());
    EXPECT_EQ(FramesOf({5500.0f}).size(), 51u);
}

TEST_F(Dimming, WithoutTheDriversDeviceIdNothingReachesTheDriver) {
    WriteIni("");
    PrepareSettings();
    EXPECT_EQ(TW(SetDefaultNatureColor)(), -7);
    EXPECT_TRUE(LoggedContaining(3, "SetInitTemper: ProgramGammaRamp fail, errorCode = -7"));
    EXPECT_EQ(FramesOf({6500.0f}).size(), 0u);  // the reading initialised
    EXPECT_EQ(FramesOf({5500.0f}).size(), 51u);
    EXPECT_TRUE(Ramps().empty());
}

TEST_F(Dimming, DriverFailuresAreReportedByTheDefaultState) {
    Machine().IntelDriver().SetGammaStatus(3);
    EXPECT_EQ(TW(SetDefaultNatureColor)(), -101);
    EXPECT_TRUE(LoggedContaining(3, "SetGammaRamp fail!"));

    Machine().IntelDriver().SetGammaStatus(0);
    Machine().FailCall("SetGammaRamp", E_FAIL);
    EXPECT_EQ(TW(SetDefaultNatureColor)(), -101);
    EXPECT_TRUE(LoggedContaining(3, "SetGammaRamp fail"));

    // Neither the registered driver object nor a new one can be had.
    Machine().FailCall("GetInterfaceFromGlobal", E_FAIL);
    Machine().FailCall("CoCreateInstance", E_FAIL);
    EXPECT_EQ(TW(SetDefaultNatureColor)(), -101);
    EXPECT_TRUE(LoggedContaining(3, "CreateInstanceCUIExternal fail"));

    TW(SetCircleR)(-1.0);
    EXPECT_EQ(TW(SetDefaultNatureColor)(), -1);
    EXPECT_TRUE(LoggedContaining(3, "SetInitTemper: GetCurrentColorConfigInfo fail!"));
}

TEST_F(Dimming, TheRampIsLinearAndBlueProtectionDimsBlue) {
    auto& tone = NaturalTone::Instance();
    EXPECT_EQ(tone.ProgramGammaRamp(1.0f, 0.5f, 1.0f, 255, 0.5), 0);
    // A negative gain is black, never a wrapped-around bright entry.
    EXPECT_EQ(tone.ProgramGammaRamp(1.0f, -0.5f, 2.0f, 0, 1.0), 0);
    const auto ramps = Ramps();
    ASSERT_EQ(ramps.size(), 2u);
    const auto& ramp = ramps[0].ramp;
    EXPECT_EQ(ramp[0], 0);
    EXPECT_EQ(ramp[128], 32896);  // 65535 * 128 / 255, rounded
    EXPECT_EQ(ramp[255], kRampTop);
    EXPECT_EQ(ramp[256 + 255], 32768);
    EXPECT_EQ(ramp[512 + 255], 32768);
    EXPECT_EQ(ramps[1].ramp[256 + 255], 0);
    EXPECT_EQ(ramps[1].ramp[512 + 128], kRampTop);
}

TEST_F(Dimming, OnlyIntelAndAmdGraphicsDimAndAnEmptyTableRefusesQuietly) {
    for (const std::uint32_t type : {1u, 2u, 4u}) {
        NatureColorAllInfo info = NaturalTone::Instance().NatureColorAll();
        info.mDisplayCardType = type;
        NaturalTone::Instance().SetNatureColorAll(info);
        EXPECT_EQ(NaturalTone::Instance().StartCctDimming(6000.0f, 300.0f), -1);
        EXPECT_TRUE(LoggedContaining(
            3, "StartCctDimming: CctDimming not support displayCardType#" + std::to_string(type)));
    }
    Configure(50);
    TW(ClearMappingInfo)();
    const std::size_t lines = LogRecords().size();
    EXPECT_EQ(NaturalTone::Instance().StartCctDimming(6000.0f, 300.0f), -1);
    EXPECT_EQ(LogRecords().size(), lines);
    EXPECT_TRUE(StoredCcts().empty());
}

TEST_F(Dimming, OnAmdGraphicsEachFrameSetsTheWhitePointOfEveryDisplay) {
    InstallDescription({{"displays", {{"adapters", {Adapter("AMD Radeon(TM) Graphics", 1)}}}},
                        {"adl", AdlPart({AdlAdapter(0)}, {AdlDisplay(0, 0)})}});
    PrepareSettings();
    TW(InitAdlGamut)();
    TW(SetNatureColorAll)(50, 100, 0, 100.0f, 4000.0f, 50.0f);
    ASSERT_EQ(NaturalTone::Instance().NatureColorAll().mDisplayCardType, 3u);
    EXPECT_EQ(NaturalTone::Instance().StartCctDimming(6000.0f, 300.0f), 0);
    ASSERT_TRUE(
        AwaitCondition([] { return !NaturalTone::Instance().DimmingWorkerRunning(); }, kPatience));
    const auto sets = Adl().GamutSets();
    ASSERT_EQ(sets.size(), 51u);
    EXPECT_EQ(sets[50].time - sets[0].time, milliseconds(5000));
    EXPECT_NE(sets[0].gamut.customWhitePoint.x, sets[50].gamut.customWhitePoint.x);
    EXPECT_TRUE(Ramps().empty());
    TW(UninitAdlGamut)();
}

// ADL released and loaded again while frames go through it: a frame uses
// ADL whole or finds it released and applies nothing, never a table cleared
// under it (the simulated module aborts a call into a freed ADL).
TEST_F(Dimming, AdlReleasedAndLoadedAgainUnderRunningFramesIsNeverCalledWhileGone) {
    InstallDescription({{"displays", {{"adapters", {Adapter("AMD Radeon(TM) Graphics", 1)}}}},
                        {"adl", AdlPart({AdlAdapter(0)}, {AdlDisplay(0, 0)})}});
    PrepareSettings();
    TW(InitAdlGamut)();
    TW(SetNatureColorAll)(50, 1, 0, 100.0f, 4000.0f, 50.0f);
    std::atomic<bool> stop{false};
    std::thread frontEnd([&stop] {
        while (!stop) {
            TW(UninitAdlGamut)();
            TW(InitAdlGamut)();
        }
    });
    std::size_t frames = 0;
    for (int i = 0; i < 20; ++i) {
        frames += FramesOf({i % 2 == 0 ? 7000.0f : 3000.0f}).size();
    }
    stop = true;
    frontEnd.join();
    EXPECT_EQ(frames, 20u * 51u);
    EXPECT_LE(Adl().GamutSets().size(), frames);
    EXPECT_EQ(Adl().LiveContexts(), 1);
    TW(UninitAdlGamut)();
    EXPECT_FALSE(Adl().ModuleLoaded());
}

// Whatever changes under a running transition, its frames keep the count
// and the step it started with and stay between its start and its target.
TEST_F(Dimming, AChangeUnderARunningTransitionNeverTakesItOutOfItsRange) {
    struct Case {
        const char* name;
        float from;
        float to;
        std::function<void()> change;  // at the transition's 25th pause
        std::optional<float> written;  // another writer's CCT: then only the range and the end hold
    };
    const std::vector<Case> cases = {
        {"MoreFramesUpwards", 5000.0f, 6000.0f, [] { Configure(100); }, std::nullopt},
        {"MoreFramesDownwards", 6000.0f, 5000.0f, [] { Configure(100); }, std::nullopt},
        {"FewerFrames", 5000.0f, 6000.0f, [] { Configure(10); }, std::nullopt},
        {"AnotherWriterMovesTheStoredCctAbove", 5000.0f, 6000.0f,
         [] {
             TW(SetSensorColor)
             (20000.0f);
         },
         20000.0f},
        {"AnotherWriterMovesItBelow", 6000.0f, 5000.0f,
         [] {
             TW(SetSensorColor)
             (100.0f);
         },
         100.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Configure(50);
        FramesOf({c.from});
        int pauses = 0;
        Machine().Clock().SetSleepHook([&](milliseconds) {
            if (++pauses == 25) {
                c.change();
            }
        });
        auto frames = FramesOf({c.to});
        Machine().Clock().SetSleepHook(nullptr);
        if (c.written) {
            std::erase(frames, *c.written);
        } else {
            EXPECT_EQ(frames, Sequence(c.from, (c.to - c.from) / 50.0f, 50, c.to));
        }
        ASSERT_EQ(frames.size(), 51u);
        for (const float cct : frames) {
            EXPECT_GE(cct, std::min(c.from, c.to));
            EXPECT_LE(cct, std::max(c.from, c.to));
        }
        EXPECT_EQ(frames.back(), c.to);
    }
    // The count set last applies to the next transition.
    Configure(10);
    EXPECT_EQ(FramesOf({6000.0f}).size(), 11u);
}

// An interval of 0xFFFFFFFF (a caller's -1) pauses until something ends the
// pause: the engine is never stuck for the rest of the process.
TEST_F(Dimming, AnEndlessPauseEndsWhenItMustAndTheEngineGoesOn) {
    struct Case {
        const char* name;
        std::function<void()> end;
        std::size_t framesAfterwards;
    };
    const std::vector<Case> cases = {
        {"ANewConfiguration", [] { Configure(50); }, 51},
        // Its frame stores its CCT, then the reading of no sensor.
        {"NatureColourSwitchedOff",
         [] {
             TW(SetIsNatureColor)
             (0);
         },
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TW(SetIsNatureColor)(1);
        FramesOf({5000.0f});
        TW(SetNatureColorAll)(50, 0xFFFFFFFFu, 0, 100.0f, 4000.0f, 50.0f);
        const std::size_t before = StoredCcts().size();
        ASSERT_EQ(NaturalTone::Instance().StartCctDimming(6000.0f, 300.0f), 0);
        ASSERT_TRUE(AwaitCondition([&] { return StoredCcts().size() > before; }, kPatience));
        std::this_thread::sleep_for(milliseconds(50));
        EXPECT_EQ(StoredCcts().size(), before + 1) << "the pause ended by itself";
        c.end();
        EXPECT_TRUE(AwaitCondition([] { return !NaturalTone::Instance().DimmingWorkerRunning(); },
                                   kPatience));
        EXPECT_EQ(StoredCcts().size() - before, c.framesAfterwards);
    }
    TW(SetIsNatureColor)(1);
    Configure(50);
    EXPECT_EQ(FramesOf({3000.0f}).size(), 51u);
}

// A reading that is no number is refused with both values named, whatever
// the engine's state: nothing is stored, nothing reaches the driver, and the
// next sound reading is handled as if it had not come.
TEST_F(Dimming, ReadingsThatAreNotNumbersAreRefusedAndTheEngineGoesOn) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* name;
        float kelvin;
        float lux;
        const char* line;
    };
    const std::vector<Case> cases = {
        {"KelvinNan", nan, 300.0f, "targetCct = nan, sensorLight = 300"},
        {"KelvinInfinite", inf, 300.0f, "targetCct = inf, sensorLight = 300"},
        {"LightInfinite", 6000.0f, inf, "targetCct = 6000, sensorLight = inf"},
        {"LightNan", 6000.0f, nan, "targetCct = 6000, sensorLight = nan"},
    };
    EXPECT_EQ(TW(SetDefaultNatureColor)(), 0);
    const std::size_t ramps = Ramps().size();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TW(SetNatureColorAll)(50, 100, 0, 100.0f, 4000.0f, 50.0f);
        EXPECT_EQ(Reading(c.kelvin, c.lux), -1);
        EXPECT_TRUE(LoggedContaining(3, c.line));
    }
    EXPECT_EQ(Ramps().size(), ramps);
    EXPECT_EQ(TW(GetIsInitAmbientCct)(-1), 1) << "the refused readings did not initialise";
    const std::string ini = ReadIniOrEmpty();
    EXPECT_EQ(ini.find("nan"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("inf"), std::string::npos) << ini;
    Configure(50);
    EXPECT_TRUE(FramesOf({6500.0f}).empty());
    EXPECT_EQ(FramesOf({5500.0f}).size(), 51u);
}

// Run in a child process by the next test: exit() while a transition runs
// on the real clock. The engine stops its worker after the frame in hand.
TEST_F(Dimming, DISABLED_ProcessExitsInTheMiddleOfATransition) {
    Machine().Clock().SetMode(sim::MachineClock::Mode::Real);
    ASSERT_EQ(NaturalTone::Instance().StartCctDimming(6000.0f, 300.0f), 0);
    std::this_thread::sleep_for(milliseconds(250));
    std::exit(NaturalTone::Instance().DimmingWorkerRunning() ? 0 : 1);
}

TEST(DimmingAtExit, TheProcessEndsCleanlyInTheMiddleOfATransition) {
    const auto exitCode =
        RunTestInChildProcess("Dimming.DISABLED_ProcessExitsInTheMiddleOfATransition", kPatience);
    ASSERT_TRUE(exitCode.has_value()) << "the process hung on its way out";
    EXPECT_EQ(*exitCode, 0);
}

// Run in a child process by the next test: the engine is made before any
// settings object that its frames read, a transition runs on the real clock
// with a minute between frames, and the process exits in the first pause.
// Where it is told, the child notes when it called exit() and, from an exit
// handler that runs after the engine's destructor, when that had returned.
TEST_F(ExportTest, DISABLED_ProcessExitsInTheMiddleOfALongPause) {
    static const char* const stamps = std::getenv("TINTWELL_TEST_EXIT_STAMP");
    const auto now = [] { return std::chrono::steady_clock::now().time_since_epoch().count(); };
    if (stamps != nullptr) {
        std::atexit([] {
            std::ofstream(stamps, std::ios::app)
                << ' ' << std::chrono::steady_clock::now().time_since_epoch().count();
        });
    }
    Machine().Clock().SetMode(sim::MachineClock::Mode::Real);
    NaturalTone& engine = NaturalTone::Instance();
    StoreNeutralNatureColourSettings();
    TW(InitMonitorId)();
    TW(AddCctMappingInfo)(3000.0f, 1.0, 0.7, 0.4);
    TW(AddCctMappingInfo)(7000.0f, 0.8, 0.9, 1.0);
    TW(SetNatureColorAll)(50, 60000, 0, 100.0f, 4000.0f, 50.0f);
    ASSERT_EQ(engine.StartCctDimming(6000.0f, 300.0f), 0);
    ASSERT_TRUE(AwaitCondition([] { return !Ramps().empty(); }, kPatience));
    if (stamps != nullptr) {
        std::ofstream(stamps) << now();
    }
    std::exit(engine.DimmingWorkerRunning() ? 0 : 1);
}

TEST(DimmingAtExit, AnExitInTheMiddleOfALongPauseEndsTheEngineWithinASecond) {
    const std::string stamps = std::filesystem::temp_directory_path() / "tintwell-exit-stamps";
    setenv("TINTWELL_TEST_EXIT_STAMP", stamps.c_str(), 1);
    const auto exitCode =
        RunTestInChildProcess("ExportTest.DISABLED_ProcessExitsInTheMiddleOfALongPause", kPatience);
    unsetenv("TINTWELL_TEST_EXIT_STAMP");
    ASSERT_TRUE(exitCode.has_value()) << "the process hung on its way out";
    EXPECT_EQ(*exitCode, 0);
    std::ifstream in(stamps);
    long long exiting = 0;
    long long engineGone = 0;
    ASSERT_TRUE(in >> exiting >> engineGone) << "the child did not note both moments";
    std::filesystem::remove(stamps);
    EXPECT_LT(std::chrono::steady_clock::duration(engineGone - exiting), std::chrono::seconds(1));
}

}  // namespace tw_test
