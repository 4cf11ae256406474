// What keeps the library loaded after the front-end lets it go: a light
// sensor subscription, a firmware monitor still running, ADL left
// initialised. Each holds the library until it ends; once nothing does, the
// library unloads within a second, even with a dimming worker in an endless
// pause. Each case runs in a process of its own, as a library kept loaded
// stays for the rest of the process.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "../shared/test_platform.h"
#include "adl_test_machines.h"
#include "sim/default_machine.h"

namespace tw_test {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr unsigned kLightOnly = 0;
constexpr unsigned kLightAndFirmware = 1;
constexpr auto kUnloadPatience = 1s;
// Longer than the library takes to let go once the last hold is back.
constexpr auto kStillLoadedAfter = 500ms;
constexpr auto kChildPatience = 30s;
constexpr const char* kCaseVariable = "TINTWELL_UNLOAD_CASE";

nlohmann::json DefaultLaptop() {
    return nlohmann::json::parse(sim::kDefaultMachineJson);
}

nlohmann::json WithLightSensors(nlohmann::json machine, nlohmann::json sensors) {
    machine["sensors"] = {{"lightSensors", std::move(sensors)}};
    return machine;
}

// A light sensor that reports 6000 K at 300 lx to each new sink, on the real
// clock: a subscription starts a transition at once.
nlohmann::json LaptopWhoseSensorReports() {
    auto machine = WithLightSensors(
        DefaultLaptop(), {{{"reportsWhenAttached", {{"lux", 300.0}, {"kelvin", 6000.0}}}}});
    machine["clock"] = "real";
    return machine;
}

nlohmann::json LaptopWhoseFirmwareMonitorRefusesToStop() {
    auto machine = DefaultLaptop();
    machine["firmware"]["eventMonitor"] = {{"startResult", 0}, {"stopResult", -4}};
    return machine;
}

nlohmann::json AmdLaptop() {
    return {{"displays", {{"adapters", {Adapter("AMD Radeon(TM) Graphics", 1)}}}},
            {"adl", AdlPart({AdlAdapter(0)}, {AdlDisplay(0, 0)})}};
}

// Nature colour on, with an interval of 0xFFFFFFFF (a caller's -1): after
// its first frame the worker pauses until something ends the pause.
void SubscribeWithAnEndlessPause(const FrontEndLibrary& library) {
    SubscribeFrontEndToTheLightSensor(library, 50, 0xFFFFFFFFu);
    EXPECT_TRUE(AwaitCondition([&] { return FE(library, GetSensorColor)(-1.0f) > 5000.0f; }, 10s))
        << "no frame came";
}

struct UnloadCase {
    const char* name;
    std::function<nlohmann::json()> machine;
    std::function<void(const FrontEndLibrary&)> use;
    bool staysLoaded;
};

const std::vector<UnloadCase>& Cases() {
    static const std::vector<UnloadCase> cases = {
        {"WhileSubscribedToTheLightSensor", DefaultLaptop,
         [](const FrontEndLibrary& library) {
             EXPECT_EQ(FE(library, StartMonitorNatureColor)(kLightOnly), 0);
         },
         true},
        {"AfterTheUninstall", DefaultLaptop,
         [](const FrontEndLibrary& library) {
             EXPECT_EQ(FE(library, StartMonitorNatureColor)(kLightOnly), 0);
             EXPECT_EQ(FE(library, StartMonitorNatureColor)(kLightOnly), 0);
             EXPECT_EQ(FE(library, UninstallNatureColorObject)(kLightOnly), 0);
         },
         false},
        {"AfterAFailedSubscription", [] { return WithLightSensors(DefaultLaptop(), {}); },
         [](const FrontEndLibrary& library) {
             EXPECT_EQ(FE(library, StartMonitorNatureColor)(kLightOnly), -1);
         },
         false},
        {"WhileTheFirmwareMonitorStillRuns", DefaultLaptop,
         [](const FrontEndLibrary& library) {
             EXPECT_EQ(FE(library, StartMonitorNatureColor)(kLightAndFirmware), 0);
             EXPECT_EQ(FE(library, UninstallNatureColorObject)(kLightOnly), 0);
         },
         true},
        {"WhenTheFirmwareMonitorRefusesToStop", LaptopWhoseFirmwareMonitorRefusesToStop,
         [](const FrontEndLibrary& library) {
             EXPECT_EQ(FE(library, StartMonitorNatureColor)(kLightAndFirmware), 0);
             EXPECT_EQ(FE(library, UninstallNatureColorObject)(kLightAndFirmware), -4);
         },
         true},
        {"AfterBothSubscriptionsEnded", DefaultLaptop,
         [](const FrontEndLibrary& library) {
             EXPECT_EQ(FE(library, StartMonitorNatureColor)(kLightAndFirmware), 0);
             EXPECT_EQ(FE(library, UninstallNatureColorObject)(kLightAndFirmware), 0);
         },
         false},
        {"WhileAdlIsInitialised", AmdLaptop,
         [](const FrontEndLibrary& library) {
             FE(library, InitAdlGamut)
             ();
         },
         true},
        {"AfterAdlIsReleased", AmdLaptop,
         [](const FrontEndLibrary& library) {
             FE(library, InitAdlGamut)();
             FE(library, InitAdlGamut)();
             FE(library, UninitAdlGamut)();
         },
         false},
        {"WhileSubscribedInAnEndlessPause", LaptopWhoseSensorReports, SubscribeWithAnEndlessPause,
         true},
        {"AfterTheUninstallEndsAnEndlessPause", LaptopWhoseSensorReports,
         [](const FrontEndLibrary& library) {
             SubscribeWithAnEndlessPause(library);
             EXPECT_EQ(FE(library, UninstallNatureColorObject)(kLightOnly), 0);
         },
         false},
    };
    return cases;
}

// A fresh machine of the case's description, in a folder of its own.
void PrepareMachine(const nlohmann::json& description) {
    char pattern[] = "/tmp/tintwell-unload-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path root = pattern;
    fs::create_directories(root / "C/ProgramData/Vozaz/OrvLumivex");
    std::ofstream(root / "machine.json") << description.dump();
    setenv("TINTWELL_ROOT", root.c_str(), 1);
    setenv("TINTWELL_MACHINE", (root / "machine.json").c_str(), 1);
    setenv("TINTWELL_LOG_FILE", (root / "tintwell.log").c_str(), 1);
}

}  // namespace

// Run in a child process by the next test, for the case it names.
TEST(NatureColorUnload, DISABLED_OneCase) {
    const char* name = std::getenv(kCaseVariable);
    ASSERT_NE(name, nullptr);
    const auto found = std::find_if(Cases().begin(), Cases().end(),
                                    [name](const auto& c) { return std::string(name) == c.name; });
    ASSERT_NE(found, Cases().end()) << name;
    std::thread([] {}).join();
    PrepareMachine(found->machine());
    ASSERT_FALSE(LibraryIsMapped());
    {
        FrontEndLibrary library;
        ASSERT_TRUE(library.Loaded());
        found->use(library);
        EXPECT_LT(library.Unload(), 100ms);
    }
    if (found->staysLoaded) {
        std::this_thread::sleep_for(kStillLoadedAfter);
        EXPECT_TRUE(LibraryIsMapped());
    } else {
        EXPECT_TRUE(AwaitCondition([] { return !LibraryIsMapped(); }, kUnloadPatience));
    }
    std::exit(::testing::Test::HasFailure() ? EXIT_FAILURE : EXIT_SUCCESS);
}

TEST(NatureColorUnload, WhatHoldsTheLibraryAndWhatLetsItGo) {
    for (const UnloadCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        setenv(kCaseVariable, c.name, 1);
        const auto exitCode =
            RunTestInChildProcess("NatureColorUnload.DISABLED_OneCase", kChildPatience);
        ASSERT_TRUE(exitCode.has_value()) << "the process hung";
        EXPECT_EQ(*exitCode, 0);
    }
    unsetenv(kCaseVariable);
}

}  // namespace tw_test
