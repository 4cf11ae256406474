// The simulated machine that answers the Windows API on Linux. One model holds
// everything the library can observe or change; the per-DLL files (kernel32.cpp,
// ...) answer calls from it and record every effect so that tests and the
// command-line tool can read it back.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace sim {

class DisplayModel;
class DisplayEvents;
class ColorModel;
class SystemModel;
class RegistryModel;
class FirmwareModel;
class IntelDriverModel;
class AdlModel;
class SensorModel;
class MachineClock;

// A named API call told to fail with a Windows error code, once or always.
struct InjectedFailure {
    DWORD error = ERROR_ACCESS_DENIED;
    bool always = false;
};

// One successful WritePrivateProfileStringW that named a key and a value.
struct ProfileWrite {
    std::chrono::milliseconds time{0};  // the machine clock when the call came
    std::wstring file;                  // as the caller named it
    std::wstring section;
    std::wstring key;
    std::wstring value;
};

class Machine {
  public:
    Machine();
    virtual ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // The machine the API calls answer from: installed by a test, or else
    // loaded from TINTWELL_MACHINE, or else the built-in default laptop.
    static Machine& Current();
    // The current machine once the display events its clock has reached
    // have happened: where every call that observes or changes display
    // state starts.
    static Machine& CurrentCaughtUp();
    static void Install(std::unique_ptr<Machine> machine);
    static std::unique_ptr<Machine> FromJson(const nlohmann::json& description);
    static std::unique_ptr<Machine> FromFile(const std::filesystem::path& file);
    static std::unique_ptr<Machine> BuiltInDefault();

    std::string Name() const;

    // The path of the process's executable (GetModuleFileNameW without a
    // module), a Windows path.
    std::wstring HostExecutable() const;
    void SetHostExecutable(std::wstring path);

    // Windows paths map into a directory tree: X:\a\b is <root>/X/a/b.
    // Absolute POSIX paths are used as they are. A relative path is taken
    // from the current directory once one has been set, else from the host
    // process's own.
    std::filesystem::path HostPath(std::wstring_view windowsPath) const;

    // The process's current directory (SetCurrentDirectoryW): a Windows
    // path once set, else the host process's own as an absolute POSIX path.
    std::wstring CurrentDirectory() const;
    void SetCurrentDirectory(std::wstring fullPath);
    std::filesystem::path Root() const;
    void SetRoot(std::filesystem::path root);

    // Failure injection: the next (or every) call of `call` fails with `error`.
    void FailCall(const std::string& call, DWORD error, bool always = false);
    void ClearFailures();
    // True when `call` must fail now; consumes a one-shot failure.
    std::optional<DWORD> TakeFailure(std::string_view call);
    // Every call that could have been told to fail and was made, by name:
    // the calls a failure sweep has to cover.
    std::vector<std::string> CallsMade() const;

    void RecordDebugOutput(std::wstring text);
    std::vector<std::wstring> DebugOutput() const;

    void RecordProfileWrite(ProfileWrite write);
    std::vector<ProfileWrite> ProfileWrites() const;

    // The parts of the machine; each keeps its own lock.
    DisplayModel& Displays() { return *displays_; }
    DisplayEvents& Events() { return *events_; }
    ColorModel& Colors() { return *colors_; }
    SystemModel& System() { return *system_; }
    RegistryModel& Registry() { return *registry_; }
    FirmwareModel& Firmware() { return *firmware_; }
    IntelDriverModel& IntelDriver() { return *intelDriver_; }
    AdlModel& Adl() { return *adl_; }
    SensorModel& Sensors() { return *sensors_; }
    MachineClock& Clock() { return *clock_; }

  private:
    std::unique_ptr<DisplayModel> displays_;
    std::unique_ptr<DisplayEvents> events_;
    std::unique_ptr<ColorModel> colors_;
    std::unique_ptr<SystemModel> system_;
    std::unique_ptr<RegistryModel> registry_;
    std::unique_ptr<FirmwareModel> firmware_;
    std::unique_ptr<IntelDriverModel> intelDriver_;
    std::unique_ptr<AdlModel> adl_;
    std::unique_ptr<SensorModel> sensors_;
    std::unique_ptr<MachineClock> clock_;
    mutable std::mutex mutex_;
    std::string name_;
    std::wstring hostExecutable_;
    std::filesystem::path root_;
    std::optional<std::wstring> currentDirectory_;
    std::map<std::string, InjectedFailure, std::less<>> failures_;
    std::set<std::string, std::less<>> callsMade_;
    std::vector<std::wstring> debugOutput_;
    std::vector<ProfileWrite> profileWrites_;
};

// The root used when TINTWELL_ROOT is unset: a per-user folder.
std::filesystem::path DefaultRoot();

}  // namespace sim
