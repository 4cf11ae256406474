// A light sensor reading starts a nature colour transition in the DLL under
// Wine, through a sensor service registered in this process, on a machine
// whose WMI reports Intel graphics. The front-end
// then lets the library go, or the process ends, in the middle of the
// transition.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <thread>

#include "../shared/test_platform.h"
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
constexpr auto kIntoTheTransition = 200ms;

// The front-end's set-up for nature colour, and a subscription to the light
// sensor; a reading of 6000 K then starts a transition of 51 frames.
void SubscribeToTheLightSensor(const FrontEndLibrary& library) {
    EXPECT_EQ(FE(library, SetCircleR)(1.0), 0);
    EXPECT_EQ(FE(library, SetCircleG)(1.0), 0);
    EXPECT_EQ(FE(library, SetCircleB)(1.0), 0);
    EXPECT_EQ(FE(library, SetEyeProtect)(0), 0);
    EXPECT_EQ(FE(library, SetBlueProtect)(1000), 0);
    EXPECT_EQ(FE(library, SetIsNatureColor)(1), 0);
    EXPECT_EQ(FE(library, SetSensorColor)(5000.0f), 0);
    FE(library, ClearMappingInfo)();
    FE(library, AddCctMappingInfo)(3000.0f, 1.0, 0.7, 0.4);
    FE(library, AddCctMappingInfo)(7000.0f, 0.8, 0.9, 1.0);
    FE(library, SetNatureColorAll)(kFrames, kIntervalMs, 0, 100.0f, 4000.0f, 50.0f);
    ASSERT_EQ(FE(library, StartMonitorNatureColor)(0), 0);
    FE(library, SetNatureColorStatus)(1);
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

TEST_F(NatureColorUnload, FreeLibraryDuringATransitionLetsItFinishThenTheLibraryGoes) {
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
        reached = FE(library, GetSensorColor)(-1.0f);
        EXPECT_LT(library.Unload(), kPromptly);
    }
    EXPECT_GT(reached, 5000.0f);
    EXPECT_LT(reached, 6000.0f);
    ASSERT_TRUE(AwaitCondition([] { return !LibraryIsMapped(); }, kPatience))
        << "the library was never unloaded";
    // The transition ran to its end before the library went.
    FrontEndLibrary again;
    ASSERT_TRUE(again.Loaded());
    EXPECT_EQ(FE(again, GetSensorColor)(-1.0f), 6000.0f);
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
