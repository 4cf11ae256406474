// What a test needs from the platform it runs on, so that one set of cases
// drives both the simulated machine on Linux and the real DLL under Wine.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tintwell/tintwell.h"

namespace tw_test {

// The address of an export, looked up by name: in-process on Linux, through
// GetProcAddress on the loaded DLL on Windows. Null when it is not exported.
void* ExportAddress(const char* name);

template <typename Function>
Function* Export(const char* name) {
    void* address = ExportAddress(name);
    if (address == nullptr) {
        ADD_FAILURE() << "export not found: " << name;
    }
    return reinterpret_cast<Function*>(address);
}

// Calls an export by its name: TW(GetCircleR)(-1.0).
#define TW(name) (::tw_test::Export<decltype(::name)>(#name))

// The names the library's export table holds.
std::vector<std::string> ExportedNames();

bool OnWine();

// The library's debug output so far in this process, one text per
// OutputDebugString call, as narrow text.
std::vector<std::string> DebugOutputTexts();

struct LogRecord {
    int level = -1;
    std::string text;  // UTF-8
};

// A machine with the program-data folder but no INI file, and a fresh log.
class ExportTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

  public:
    static void WriteIni(std::string_view bytes);
    static std::optional<std::string> ReadIni();
    static std::string ReadIniOrEmpty() { return ReadIni().value_or(""); }
    static void RemoveIniFolder();
    static bool IniFolderExists();
    // From here on the library logs where it does when the host names no log
    // file; LogRecords reads that file.
    static void UseDefaultLogFile();
    // False when the platform cannot make the file unwritable for this user.
    static bool MakeIniReadOnly();
    static std::vector<LogRecord> LogRecords();
    // Whether a record of `level` is exactly `text`, or holds `part`; the
    // latter looks only at the records after the first `fromRecord`.
    static bool Logged(int level, std::string_view text);
    static bool LoggedContaining(int level, std::string_view part, std::size_t fromRecord = 0);
    static std::vector<std::string> LogLinesRaw();
};

// The library as a front-end holds it, loaded and unloaded on its own: dlopen
// of the shared library on Linux, LoadLibrary of the DLL on Windows. On Linux
// it is a copy apart from the library code the other tests call in-process,
// with a simulated machine of its own read from TINTWELL_MACHINE.
class FrontEndLibrary {
  public:
    FrontEndLibrary();
    // Unloads unless Unload() already did.
    ~FrontEndLibrary();
    FrontEndLibrary(const FrontEndLibrary&) = delete;
    FrontEndLibrary& operator=(const FrontEndLibrary&) = delete;

    bool Loaded() const { return handle_ != nullptr; }
    template <typename Function>
    Function* Export(const char* name) const {
        void* address = Address(name);
        if (address == nullptr) {
            ADD_FAILURE() << "export not found: " << name;
        }
        return reinterpret_cast<Function*>(address);
    }
    // FreeLibrary or dlclose; the time it took to return.
    std::chrono::milliseconds Unload();

  private:
    void* Address(const char* name) const;

    void* handle_ = nullptr;
};

// Calls an export of a FrontEndLibrary: FE(library, SetCircleR)(0.5).
#define FE(library, name) ((library).Export<decltype(::name)>(#name))

// Polls until `condition` holds; false when `patience` runs out first.
template <typename Condition>
bool AwaitCondition(Condition condition, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Whether the library's image is in the process's address space.
bool LibraryIsMapped();

// The machine a FrontEndLibrary finds. Linux: a desktop with one of the
// maker's monitors on a real-time clock, where each desktop request keeps
// the worker writing and settling gains for 150 ms; Windows: the machine as
// it is.
void PrepareFrontEndMachine();
// True when the front-end machine has a monitor whose gain writes take
// time, so that a worker is known to be busy right after a request.
bool FrontEndMachineWritesGainsSlowly();

// Leaves the machine without the Sensor API's manager class. Linux: the
// simulated machine loses it; Windows: Wine never registers it.
void UnregisterSensorManager();

// The threads of this process, the library's workers among them.
std::size_t ThreadCount();

// Runs one test of this program, disabled ones included, in a child
// process. Its exit code, or nothing when it did not end within `patience`
// (it is then killed).
std::optional<int> RunTestInChildProcess(const std::string& testName,
                                         std::chrono::milliseconds patience);

// Circle gains of 1, no eye or blue protection, nature colour on: the
// colour configuration every nature colour frame reads.
void StoreNeutralNatureColourSettings();

// The same, and a 3000 K to 7000 K table, the configuration and status 1,
// for a library of the front-end's own; then a subscription to the light
// sensor. A reading of 6000 K starts a transition of `frames` + 1 frames,
// each storing its CCT; without a device id stored they reach no driver,
// whose objects the library would leave to the process at unload.
void SubscribeFrontEndToTheLightSensor(const FrontEndLibrary& library, unsigned frames,
                                       unsigned intervalMs);

// What the machine's hardware has been sent so far (ramps, gains, VCP
// values, hardware library, Intel driver and ADL calls, installed profiles
// and associations, the printer colour record), as text to compare before
// and after a call. Windows: empty, the real machine keeps no such record.
std::string HardwareRecord();

// The INI file's lines without their line ends.
std::vector<std::string> SplitLines(std::string_view text);

inline constexpr const char* kIniPathText = "C:\\ProgramData\\Vozaz\\OrvLumivex\\Tintwell.ini";

}  // namespace tw_test
