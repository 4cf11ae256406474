// Any thread, any moment: several front-end threads (a window's, a worker's
// in the multithreaded apartment, a plain one) call exports of every family
// in random order while three light sensors report, the firmware raises its
// events and both of the library's workers run; then the process exits with
// the workers, the sensors and the firmware all busy. CI runs it under the
// tsan preset, where a data race fails the child process; a deadlock fails
// it by running out of patience.
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "../shared/digest_records.h"
#include "../shared/front_end_thread.h"
#include "../shared/test_platform.h"
#include "adl_test_machines.h"
#include "desktop_test_machines.h"
#include "naturecolor/natural_tone.h"
#include "sim/default_machine.h"
#include "sim/firmware_model.h"
#include "sim/icc_profile_writer.h"
#include "sim/machine.h"
#include "sim/sensor_model.h"

namespace tw_test {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Random = std::mt19937;

constexpr auto kStormLength = 3s;
constexpr auto kStressPatience = 300s;
constexpr unsigned int kSensorColorEvent = 705;
constexpr const char* kProfiles = "C:\\Profiles\\";
constexpr const char* kLutCache = "C:\\LutCache\\";
constexpr std::array<unsigned int, 3> kModes = {0, 1, 2};

sim::Machine& Machine() {
    return sim::Machine::Current();
}

int Between(Random& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

double Gain(Random& random) {
    return std::uniform_real_distribution<double>(0.5, 1.0)(random);
}

fs::path HostFile(const std::string& windowsPath) {
    return Machine().HostPath(std::wstring(windowsPath.begin(), windowsPath.end()));
}

// A profile in C:\Profiles with the digest file that vouches for it.
std::string ProvideProfile(const std::string& name, const sim::RgbColorSpace& space) {
    const auto bytes = sim::MakeRgbProfile(space);
    const std::string profile(bytes.begin(), bytes.end());
    const std::string path = kProfiles + name;
    fs::create_directories(HostFile(path).parent_path());
    std::ofstream(HostFile(path), std::ios::binary) << profile;
    std::ofstream(HostFile(path + ".sha"), std::ios::binary)
        << DigestRecord(name, Sha256Of(profile));
    return path;
}

// The default laptop, with every road the library has: the Intel driver and
// the firmware's tables, ADL, the maker's monitor on DDC/CI beside the
// panel, three light sensors, on the real clock.
void InstallEveryRoadLaptop() {
    auto description = nlohmann::json::parse(sim::kDefaultMachineJson);
    description["displays"]["adapters"].push_back(
        Display(2, {Monitor(kMakerMonitorId)}, {Physical("ORV Lumivex 27")}));
    description["adl"] = AdlPart({AdlAdapter(0)}, {AdlDisplay(0, 0)});
    description["sensors"] = {
        {"lightSensors", {{{"name", "lid"}}, {{"name", "base"}}, {{"name", "dock"}}}}};
    description["clock"] = "real";
    const auto root = Machine().Root();
    auto machine = sim::Machine::FromJson(description);
    machine->SetRoot(root);
    sim::Machine::Install(std::move(machine));
    fs::create_directories(HostFile(kLutCache));
}

struct Profiles {
    std::string p3;
    std::string srgb;
};

const Profiles& TheProfiles() {
    static const Profiles profiles{ProvideProfile("DisplayP3.icc", sim::DisplayP3ColorSpace()),
                                   ProvideProfile("sRGB.icc", sim::SrgbColorSpace())};
    return profiles;
}

void LoadTable() {
    TW(ClearMappingInfo)();
    TW(AddCctMappingInfo)(3000.0f, 1.0, 0.6, 0.3);
    TW(AddCctMappingInfo)(6500.0f, 1.0, 0.9, 0.8);
    TW(AddCctMappingInfo)(9000.0f, 0.7, 0.8, 1.0);
}

struct Operation {
    const char* name;
    std::function<void(Random&)> call;
};

// What a front-end may call at any moment, one family after another.
const std::vector<Operation>& Operations() {
    static const std::vector<Operation> operations = {
        // Settings.
        {"SetCircleR",
         [](Random& r) {
             TW(SetCircleR)
             (Gain(r));
         }},
        {"GetCircleStrG",
         [](Random&) {
             char text[64];
             TW(GetCircleStrG)(text, sizeof text);
         }},
        {"SetEyeProtect",
         [](Random& r) {
             TW(SetEyeProtect)
             (Between(r, 0, 255));
         }},
        {"SetIsNatureColor",
         [](Random& r) {
             TW(SetIsNatureColor)
             (Between(r, 0, 3) != 0);
         }},
        {"SetSensorColor",
         [](Random& r) {
             TW(SetSensorColor)
             (Between(r, 3000, 9000));
         }},
        {"GetSensorLight",
         [](Random&) {
             TW(GetSensorLight)
             (-1.0f);
         }},
        // Every colour temperature road.
        {"SetTemperatureForIntel",
         [](Random& r) {
             TW(SetTemperatureForIntel)(Gain(r), Gain(r), Gain(r), Between(r, 0, 255), 0.5);
         }},
        {"SetTemperatureForNvidia",
         [](Random& r) {
             TW(SetTemperatureForNvidia)
             (Gain(r), Gain(r), Gain(r), 0, 1.0);
         }},
        {"SetTemperatureForAMD",
         [](Random& r) {
             TW(SetTemperatureForAMD)
             (Gain(r), Gain(r), Gain(r), 0, 1.0);
         }},
        {"SetTemperatureForDesktopComputer",
         [](Random& r) {
             TW(SetTemperatureForDesktopComputer)(Gain(r), Gain(r), Gain(r), 0, 1.0);
         }},
        {"SetTemperature",
         [](Random& r) {
             TW(SetTemperature)
             (Between(r, 0, 100), 1);
         }},
        {"SetColorAdjust",
         [](Random& r) {
             TW(SetColorAdjust)
             (Between(r, 0, 100), 2);
         }},
        {"SetColorEnhance",
         [](Random& r) {
             TW(SetColorEnhance)
             (Between(r, 0, 1) == 1);
         }},
        {"InitAdlGamut",
         [](Random&) {
             TW(InitAdlGamut)
             ();
         }},
        {"UninitAdlGamut",
         [](Random&) {
             TW(UninitAdlGamut)
             ();
         }},
        // White point.
        {"InitWhitePointInfo",
         [](Random&) {
             TW(InitWhitePointInfo)
             ();
         }},
        {"SetWhitePointGoldenData",
         [](Random&) {
             TW(SetWhitePointGoldenData)
             ("WPT101309632546800320026506900150006000000000068000000202336BOE#1F");
         }},
        {"SetWhitePointForIntel",
         [](Random&) {
             TW(SetWhitePointForIntel)
             ();
         }},
        {"ResetWhitePointForIntel",
         [](Random&) {
             TW(ResetWhitePointForIntel)
             ();
         }},
        {"SetWhitePointForAmd",
         [](Random&) {
             TW(SetWhitePointForAmd)
             ();
         }},
        {"ResetWhitePointForAmd",
         [](Random&) {
             TW(ResetWhitePointForAmd)
             ();
         }},
        // Gamut, on both roads, and the 3D tables.
        {"SetColorFieldMode",
         [](Random& r) {
             TW(SetColorFieldSetType)(Between(r, 0, 1));
             const std::string& icc = Between(r, 0, 1) == 0 ? TheProfiles().p3 : TheProfiles().srgb;
             TW(SetColorFieldMode)(Between(r, 1, 2), icc.c_str(), (icc + ".sha").c_str());
         }},
        {"GetCurrentIccFileName",
         [](Random&) {
             char name[1024];
             TW(GetCurrentIccFileName)(name);
         }},
        {"SetDisplayerColorField",
         [](Random& r) {
             TW(SetDisplayerColorField)
             (kModes[Between(r, 0, 2)], Between(r, 0, 1));
         }},
        {"IsLcdChanged",
         [](Random& r) {
             TW(IsLcdChanged)
             (kModes[Between(r, 1, 2)], 1);
         }},
        {"ResetDisplayerLut3D",
         [](Random&) {
             TW(ResetDisplayerLut3D)
             ();
         }},
        {"SetColorFieldTempLutFilePath",
         [](Random&) {
             TW(SetColorFieldTempLutFilePath)
             (kLutCache);
         }},
        {"SetColorFieldGoldenFilePath",
         [](Random&) {
             TW(SetColorFieldGoldenFilePath)
             ("C:\\Golden\\lut.bin");
         }},
        // Nature colour: the table, the merge, the configuration, the
        // subscriptions and their status.
        {"LoadTable", [](Random&) { LoadTable(); }},
        {"MergeCircleCtAndSensorCt",
         [](Random& r) {
             double g[3];
             TW(MergeCircleCtAndSensorCt)(Gain(r), Gain(r), Gain(r), &g[0], &g[1], &g[2]);
         }},
        {"SetNatureColorAll",
         [](Random& r) {
             TW(SetNatureColorAll)(Between(r, 5, 20), Between(r, 1, 3), 0, 100.0f, 4000.0f, 50.0f);
         }},
        {"SetDefaultNatureColor",
         [](Random&) {
             TW(SetDefaultNatureColor)
             ();
         }},
        {"SetNatureColorStatus",
         [](Random& r) {
             TW(SetNatureColorStatus)
             (Between(r, 0, 2) != 0);
         }},
        {"StartMonitorNatureColor",
         [](Random& r) {
             TW(StartMonitorNatureColor)
             (Between(r, 0, 1));
         }},
        {"UninstallNatureColorObject",
         [](Random& r) {
             TW(UninstallNatureColorObject)
             (Between(r, 0, 1));
         }},
        // Detection, the port status and the log.
        {"GetDisplayType",
         [](Random&) {
             TW(GetDisplayType)
             ();
         }},
        {"GetDeviceType",
         [](Random&) {
             char type[1024];
             TW(GetDeviceType)(type);
         }},
        {"GetPhyMonitorCount",
         [](Random&) {
             TW(GetPhyMonitorCount)
             ();
         }},
        {"HaveOrvMonitor",
         [](Random&) {
             TW(HaveOrvMonitor)
             ();
         }},
        {"InitMonitorId",
         [](Random&) {
             TW(InitMonitorId)
             ();
         }},
        {"GetDpStatus",
         [](Random&) {
             TW(GetDpStatus)
             ();
         }},
        {"LcdLogMessage",
         [](Random&) {
             TW(LcdLogMessage)
             (1, L"front-end line");
         }},
        // The colour state, with the guard's passes racing everything above.
        {"VerifyColorState",
         [](Random&) {
             unsigned drifted = 0;
             TW(VerifyColorState)(&drifted);
         }},
        {"RestoreColorState", [](Random&) { TW(RestoreColorState)
                                            (); }},
        {"StartColorStateGuard",
         [](Random& r) { TW(StartColorStateGuard)
                         (static_cast<unsigned>(Between(r, 100, 300))); }},
        {"StopColorStateGuard", [](Random&) { TW(StopColorStateGuard)
                                              (); }},
    };
    return operations;
}

// Every operation once in a shuffled order, then random ones until the
// storm is over.
void FrontEnd(unsigned int seed, std::chrono::steady_clock::time_point end) {
    Random random(seed);
    std::vector<std::size_t> order(Operations().size());
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), random);
    for (const std::size_t index : order) {
        Operations()[index].call(random);
    }
    while (std::chrono::steady_clock::now() < end) {
        Operations()[std::uniform_int_distribution<std::size_t>(0, order.size() - 1)(random)].call(
            random);
    }
}

void PushReadings(unsigned int seed, const std::atomic<bool>& stop) {
    Random random(seed);
    while (!stop) {
        Machine().Sensors().PushLightReading(Between(random, 0, 400), Between(random, 3000, 9000));
        std::this_thread::sleep_for(2ms);
    }
}

void RaiseFirmwareEvents(const std::atomic<bool>& stop) {
    for (int i = 0; !stop; ++i) {
        Machine().Firmware().SetBiosInfoAnswer({0, 0, static_cast<DWORD>(3000 + (i * 53) % 6000)});
        Machine().Firmware().RaiseEvent(i % 5 == 0 ? kSensorColorEvent + 1 : kSensorColorEvent);
        std::this_thread::sleep_for(3ms);
    }
}

// Nature colour on and subscribed, with a transition running and the
// desktop worker busy.
void KeepEverythingBusy() {
    LoadTable();
    TW(SetIsNatureColor)(1);
    TW(SetNatureColorAll)(50, 20, 0, 100.0f, 4000.0f, 50.0f);
    TW(SetNatureColorStatus)(1);
    TW(StartMonitorNatureColor)(1);
    for (const float kelvin : {3000.0f, 9000.0f, 4000.0f}) {
        Machine().Sensors().PushLightReading(300.0f, kelvin);
    }
    Machine().Firmware().SetBiosInfoAnswer({0, 0, 7000});
    Machine().Firmware().RaiseEvent(kSensorColorEvent);
    TW(SetTemperatureForDesktopComputer)(0.9f, 0.8f, 0.7f, 0, 1.0);
}

}  // namespace

// Run in a child process by the next test.
TEST_F(ExportTest, DISABLED_EveryFamilyFromEveryKindOfThreadThenAnExitWithEverythingBusy) {
    InstallEveryRoadLaptop();
    TheProfiles();
    StoreNeutralNatureColourSettings();
    TW(InitMonitorId)();
    LoadTable();

    std::atomic<bool> stop{false};
    std::vector<std::thread> system;
    system.emplace_back(PushReadings, 1, std::cref(stop));
    system.emplace_back(PushReadings, 2, std::cref(stop));
    system.emplace_back(RaiseFirmwareEvents, std::cref(stop));
    const auto end = std::chrono::steady_clock::now() + kStormLength;
    std::vector<std::thread> frontEnd;
    unsigned int seed = 100;
    for (const FrontEndThread kind : {FrontEndThread::SingleThreaded, FrontEndThread::MultiThreaded,
                                      FrontEndThread::WithoutCom, FrontEndThread::MultiThreaded}) {
        frontEnd.push_back(StartFrontEndThread(kind, [s = seed++, end] { FrontEnd(s, end); }));
    }
    for (auto& thread : frontEnd) {
        thread.join();
    }

    // The engine still follows the light after the storm.
    KeepEverythingBusy();
    EXPECT_TRUE(AwaitCondition([] { return NaturalTone::Instance().DimmingWorkerRunning(); }, 10s))
        << "no reading got through";
    stop = true;
    for (auto& thread : system) {
        thread.join();
    }
    KeepEverythingBusy();
    std::exit(HasFailure() ? EXIT_FAILURE : EXIT_SUCCESS);
}

TEST(FrontEndStress, EveryFamilyFromEveryKindOfThreadThenAnExitWithEverythingBusy) {
    const auto exitCode = RunTestInChildProcess(
        "ExportTest.DISABLED_EveryFamilyFromEveryKindOfThreadThenAnExitWithEverythingBusy",
        kStressPatience);
    ASSERT_TRUE(exitCode.has_value()) << "the process hung: a deadlock, or a wait without end";
    EXPECT_EQ(*exitCode, 0);
}

}  // namespace tw_test
