// A front-end loads the library, uses it, unloads it and loads it again, as
// often as it likes: unloading returns at once whatever the library's worker
// is doing, the worker finishes with the library still mapped, and the
// library is gone once it has.
#include <cstdlib>
#include <thread>

#include "test_platform.h"

namespace tw_test {

namespace {

using namespace std::chrono_literals;

constexpr int kCycles = 20;
// Unloading does no work of its own: a tenth of a second is generous.
constexpr auto kPromptly = 100ms;
// Far beyond one request's 150 ms of gain writes; a hang shows as a failure.
constexpr std::chrono::milliseconds kPatience = 10s;
// Inside the first gain write's settling pause of a request just posted.
constexpr auto kIntoTheFirstGainWrite = 20ms;

template <typename Condition>
bool Await(Condition condition) {
    return AwaitCondition(condition, kPatience);
}

int PostDesktopRequest(const FrontEndLibrary& library, float green) {
    return FE(library, SetTemperatureForDesktopComputer)(1.0f, green, 0.8f, 0, 1.0);
}

// Exports of every kind a front-end calls before it lets the library go.
void UseTheLibrary(const FrontEndLibrary& library) {
    EXPECT_EQ(FE(library, SetCircleR)(0.5), 0);
    EXPECT_EQ(FE(library, GetCircleR)(-1.0), 0.5);
    FE(library, LcdLogMessage)(1, L"front-end here");
    static_cast<void>(FE(library, GetDisplayType)());
    static_cast<void>(FE(library, IsDesktopComputer)());
    FE(library, InitAdlGamut)();
    FE(library, UninitAdlGamut)();
    static_cast<void>(FE(library, SetTemperatureForNvidia)(1.0f, 1.0f, 1.0f, 0, 1.0));
}

}  // namespace

class LibraryUnload : public ::testing::Test {
  protected:
    void SetUp() override {
        // A runtime that starts a helper thread with the first thread of the
        // process (ThreadSanitizer's) does it here, not inside a count.
        std::thread([] {}).join();
        PrepareFrontEndMachine();
        ASSERT_FALSE(LibraryIsMapped());
    }
};

TEST_F(LibraryUnload, AfterTheWorkerHasFinishedTheLibraryGoesAtOnceTwentyTimesOver) {
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        FrontEndLibrary library;
        ASSERT_TRUE(library.Loaded()) << "cycle " << cycle;
        UseTheLibrary(library);
        const std::size_t threadsBefore = ThreadCount();
        ASSERT_EQ(PostDesktopRequest(library, 0.9f), 0);
        ASSERT_TRUE(Await([&] { return ThreadCount() <= threadsBefore; }))
            << "the worker never ended, cycle " << cycle;

        EXPECT_LT(library.Unload(), kPromptly) << "cycle " << cycle;
        EXPECT_FALSE(LibraryIsMapped()) << "cycle " << cycle;
    }
}

TEST_F(LibraryUnload, WhileTheWorkerWritesGainsUnloadReturnsAndTheWorkerFinishesTwentyTimesOver) {
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        FrontEndLibrary library;
        ASSERT_TRUE(library.Loaded()) << "cycle " << cycle;
        ASSERT_EQ(PostDesktopRequest(library, 0.9f), 0);
        // Where the machine's writes are instant, the unload meets the
        // worker at a different point of its pass in every cycle.
        std::this_thread::sleep_for(FrontEndMachineWritesGainsSlowly()
                                        ? kIntoTheFirstGainWrite
                                        : std::chrono::milliseconds(cycle));

        EXPECT_LT(library.Unload(), kPromptly) << "cycle " << cycle;
        if (FrontEndMachineWritesGainsSlowly()) {
            EXPECT_TRUE(LibraryIsMapped())
                << "the writing worker lost its library, cycle " << cycle;
        }
        ASSERT_TRUE(Await([] { return !LibraryIsMapped(); }))
            << "the library was never unloaded, cycle " << cycle;
    }
}

TEST_F(LibraryUnload, WithRequestsQueuedBehindABusyWorkerUnloadReturnsAndAllEnds) {
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        FrontEndLibrary library;
        ASSERT_TRUE(library.Loaded()) << "cycle " << cycle;
        for (int request = 0; request < 10; ++request) {
            ASSERT_EQ(PostDesktopRequest(library, static_cast<float>(request) / 10.0f), 0);
        }
        EXPECT_LT(library.Unload(), kPromptly) << "cycle " << cycle;
        ASSERT_TRUE(Await([] { return !LibraryIsMapped(); }))
            << "the library was never unloaded, cycle " << cycle;
    }
}

// Run in a child process by the next test: the process ends while the worker
// is inside a gain write.
TEST_F(LibraryUnload, DISABLED_ProcessExitsWhileTheWorkerWritesGains) {
    // Never unloaded: the process ends with the library in it.
    static FrontEndLibrary* const library = new FrontEndLibrary;
    ASSERT_TRUE(library->Loaded());
    ASSERT_EQ(PostDesktopRequest(*library, 0.9f), 0);
    std::this_thread::sleep_for(kIntoTheFirstGainWrite);
    std::exit(0);
}

TEST_F(LibraryUnload, TheProcessEndsCleanlyWhileTheWorkerWritesGains) {
    for (int run = 0; run < 3; ++run) {
        const auto exitCode = RunTestInChildProcess(
            "LibraryUnload.DISABLED_ProcessExitsWhileTheWorkerWritesGains", kPatience);
        ASSERT_TRUE(exitCode.has_value()) << "the process hung on its way out, run " << run;
        EXPECT_EQ(*exitCode, 0) << "run " << run;
    }
}

TEST_F(LibraryUnload, AGuardStoppedBeforeTheUnloadLetsTheLibraryGoTwentyTimesOver) {
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        FrontEndLibrary library;
        ASSERT_TRUE(library.Loaded()) << "cycle " << cycle;
        static_cast<void>(FE(library, SetTemperatureForNvidia)(1.0f, 0.9f, 0.8f, 0, 1.0));
        ASSERT_EQ(FE(library, StartColorStateGuard)(100), 0) << "cycle " << cycle;
        std::this_thread::sleep_for(std::chrono::milliseconds(cycle * 10));
        ASSERT_EQ(FE(library, StopColorStateGuard)(), 0) << "cycle " << cycle;
        EXPECT_LT(library.Unload(), kPromptly) << "cycle " << cycle;
        ASSERT_TRUE(Await([] { return !LibraryIsMapped(); }))
            << "the guard's thread kept the library, cycle " << cycle;
    }
}

// Run in a child process by the next test: a front-end that unloads with
// the guard running leaves the library in the process, which then ends.
TEST_F(LibraryUnload, DISABLED_ProcessExitsWithTheGuardRunning) {
    FrontEndLibrary library;
    ASSERT_TRUE(library.Loaded());
    ASSERT_EQ(FE(library, StartColorStateGuard)(100), 0);
    EXPECT_LT(library.Unload(), kPromptly);
    EXPECT_TRUE(LibraryIsMapped()) << "the guard's thread lost its library";
    std::this_thread::sleep_for(250ms);
    std::exit(::testing::Test::HasFailure() ? EXIT_FAILURE : EXIT_SUCCESS);
}

// The guard's thread holds the last reference to the library: ending, it
// must not unmap the library under the destructor that stopped it.
TEST_F(LibraryUnload, TheProcessEndsCleanlyWithTheGuardRunning) {
    for (int run = 0; run < 5; ++run) {
        const auto exitCode = RunTestInChildProcess(
            "LibraryUnload.DISABLED_ProcessExitsWithTheGuardRunning", kPatience);
        ASSERT_TRUE(exitCode.has_value()) << "the process hung on its way out, run " << run;
        EXPECT_EQ(*exitCode, 0) << "run " << run;
    }
}

}  // namespace tw_test
