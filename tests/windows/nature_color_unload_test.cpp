// A light sensor reading starts a nature colour transition in the DLL under
// Wine, through a sensor service registered in this process, on a machine
// whose WMI reports Intel graphics. The front-end then unsubscribes and lets
// the library go, or the process ends, in the middle of the transition; and
// the library is loaded, used and unloaded again and again.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <thread>

#include "../shared/test_platform.h"
#include "intel_driver_service_win32.h"
#include "light_sensor_service_win32.h"
#include "video_controller_service_win32.h"

namespace tw_test {

namespace {

using namespace std::chrono_literals;

constexpr unsigned kFrames = 50;
constexpr unsigned kIntervalMs = 20;
// The whole transition takes about a second; a hang shows as a failure.
constexpr std::chrono::milliseconds kPatience = 20s;
constexpr auto kPromptly = 100ms;
constexpr auto kUnloadPatience = 1s;
constexpr auto kIntoTheTransition = 200ms;

void SubscribeToTheLightSensor(const FrontEndLibrary& library) {
    SubscribeFrontEndToTheLightSensor(library, kFrames, kIntervalMs);
}

class NatureColorUnload : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        PrepareFrontEndMachine();
        ASSERT_FALSE(LibraryIsMapped());
    }
    void TearDown() override { CoUninitialize(); }
};

}  // namespace

// The uninstall ends the subscription, and with it the transition: the
// front-end's FreeLibrary then unloads the library within a second, with
// the screen where the transition had brought it.
TEST_F(NatureColorUnload, TheUninstallStopsATransitionAndTheLibraryGoesAtOnce) {
    const VideoControllerService intelGraphics;
    ASSERT_TRUE(intelGraphics.Registered());
    LightSensorService service;
    ASSERT_TRUE(service.Registered());
    float reached = 0.0f;
    {
        FrontEndLibrary library;
        ASSERT_TRUE(library.Loaded());
        SubscribeToTheLightSensor(library);
        ASSERT_TRUE(service.HasSink());
        ASSERT_EQ(service.Deliver(300.0f, 6000.0f), S_OK);
        std::this_thread::sleep_for(kIntoTheTransition);
        EXPECT_EQ(FE(library, UninstallNatureColorObject)(0), 0);
        EXPECT_FALSE(service.HasSink()) << "the sink was not cancelled";
        reached = FE(library, GetSensorColor)(-1.0f);
        EXPECT_LT(library.Unload(), kPromptly);
    }
    EXPECT_GT(reached, 5000.0f);
    EXPECT_LT(reached, 6000.0f);
    ASSERT_TRUE(AwaitCondition([] { return !LibraryIsMapped(); }, kUnloadPatience))
        << "the library was not unloaded within a second";
    FrontEndLibrary again;
    ASSERT_TRUE(again.Loaded());
    EXPECT_EQ(FE(again, GetSensorColor)(-1.0f), reached) << "a frame came after the uninstall";
}

// An interval of 0xFFFFFFFF (a caller's -1): the worker pauses after its
// first frame until something ends the pause. The uninstall does, and the
// library unloads within a second.
TEST_F(NatureColorUnload, AnEndlessPauseEndsWithTheUninstallAndTheLibraryGoes) {
    const VideoControllerService intelGraphics;
    ASSERT_TRUE(intelGraphics.Registered());
    LightSensorService service;
    ASSERT_TRUE(service.Registered());
    {
        FrontEndLibrary library;
        ASSERT_TRUE(library.Loaded());
        SubscribeFrontEndToTheLightSensor(library, kFrames, 0xFFFFFFFFu);
        ASSERT_EQ(service.Deliver(300.0f, 6000.0f), S_OK);
        ASSERT_TRUE(AwaitCondition([&] { return FE(library, GetSensorColor)(-1.0f) > 5000.0f; },
                                   kPatience));
        EXPECT_EQ(FE(library, UninstallNatureColorObject)(0), 0);
        EXPECT_LT(library.Unload(), kPromptly);
    }
    EXPECT_TRUE(AwaitCondition([] { return !LibraryIsMapped(); }, kUnloadPatience))
        << "the library was not unloaded within a second";
}

// Load, subscribe (failing, then succeeding), switch the gamut on both
// display roads and reach the driver, unsubscribe, unload: twenty times.
// Nothing the library holds is released under the loader's lock: a failed
// subscription lets go of its objects itself, and the driver objects still
// held at unload stay with the process.
TEST_F(NatureColorUnload, TwentyCyclesOfLoadSubscribeSwitchAndUnloadNeverHang) {
    const VideoControllerService intelGraphics;
    const LightSensorService sensors;
    const IntelDriverService driver;
    ASSERT_TRUE(intelGraphics.Registered() && sensors.Registered() && driver.Registered());
    constexpr int kCycles = 20;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        SCOPED_TRACE(cycle);
        {
            FrontEndLibrary library;
            ASSERT_TRUE(library.Loaded());
            LightSensorService::SetSensorCount(0);
            EXPECT_EQ(FE(library, StartMonitorNatureColor)(0), -1);
            EXPECT_EQ(LightSensorService::LiveObjects(), 0) << "the failed subscription kept some";
            LightSensorService::SetSensorCount(1);
            EXPECT_EQ(FE(library, StartMonitorNatureColor)(0), 0);
            EXPECT_TRUE(sensors.HasSink());
            FE(library, SetDisplayerColorField)(1, 1);
            FE(library, SetDisplayerColorField)(2, 0);
            EXPECT_EQ(FE(library, ResetDisplayerLut3D)(), 0);
            EXPECT_EQ(FE(library, SetColorEnhance)(true), 0);
            EXPECT_EQ(FE(library, UninstallNatureColorObject)(0), 0);
            EXPECT_EQ(LightSensorService::LiveObjects(), 0);
            EXPECT_LT(library.Unload(), kPromptly);
        }
        ASSERT_TRUE(AwaitCondition([] { return !LibraryIsMapped(); }, kUnloadPatience));
    }
    // Each cycle set and restored the identity table and the colour
    // enhancement, and each cycle's two driver holders left theirs at unload.
    EXPECT_EQ(IntelDriverService::FeatureTables(), 3 * kCycles);
    EXPECT_EQ(IntelDriverService::LiveObjects(), 2 * kCycles);
}

// Run in a child process by the next test.
TEST_F(NatureColorUnload, DISABLED_ProcessExitsDuringATransition) {
    static VideoControllerService* const intelGraphics = new VideoControllerService;
    static LightSensorService* const service = new LightSensorService;
    ASSERT_TRUE(intelGraphics->Registered());
    static FrontEndLibrary* const library = new FrontEndLibrary;
    ASSERT_TRUE(library->Loaded());
    SubscribeToTheLightSensor(*library);
    ASSERT_EQ(service->Deliver(300.0f, 6000.0f), S_OK);
    std::this_thread::sleep_for(kIntoTheTransition);
    std::exit(0);
}

TEST_F(NatureColorUnload, TheProcessEndsCleanlyDuringATransition) {
    const auto exitCode = RunTestInChildProcess(
        "NatureColorUnload.DISABLED_ProcessExitsDuringATransition", kPatience);
    ASSERT_TRUE(exitCode.has_value()) << "the process hung on its way out";
    EXPECT_EQ(*exitCode, 0);
}

}  // namespace tw_test
