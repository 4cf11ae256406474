#include "sim/machine.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "platform/utf8.h"
#include "sim/adl_model.h"
#include "sim/color_model.h"
#include "sim/default_machine.h"
#include "sim/display_events.h"
#include "sim/display_model.h"
#include "sim/firmware_model.h"
#include "sim/intel_driver_model.h"
#include "sim/machine_clock.h"
#include "sim/registry_model.h"
#include "sim/sensor_model.h"
#include "sim/system_model.h"
#include "sim/wide_text.h"
#include "sim/whole_number.h"

namespace sim {

namespace {

constexpr const wchar_t* kDefaultHostExecutable =
    L"C:\\Program Files\\Vozaz\\OrvLumivex\\OrvLumivex.exe";

constexpr std::chrono::seconds kDeliveryPatience{10};

// The installed machine and the ones it replaced, which stay alive until the
// process ends: a worker of the library may still be inside a call that
// answers from one, and the library's workers outlive the test that
// installed the machine.
struct InstalledMachines {
    // At exit() the destructors run while threads still live: a sensor's
    // delivery under way would answer from a machine being destroyed, or
    // build a new one from the environment. So the deliveries end first; a
    // delivery that never ends keeps every machine alive instead.
    ~InstalledMachines() {
        const auto all = All();
        const bool settled = std::all_of(all.begin(), all.end(), [](Machine* machine) {
            return machine->Sensors().AwaitDeliveriesFor(kDeliveryPatience);
        });
        if (!settled) {
            Abandon();
        }
    }

    void Abandon() {
        static_cast<void>(current.release());
        for (auto& old : replaced) {
            static_cast<void>(old.release());
        }
    }

    std::vector<Machine*> All() {
        std::lock_guard lock(mutex);
        std::vector<Machine*> all;
        for (const auto& old : replaced) {
            all.push_back(old.get());
        }
        if (current) {
            all.push_back(current.get());
        }
        return all;
    }

    std::mutex mutex;
    std::unique_ptr<Machine> current;
    std::vector<std::unique_ptr<Machine>> replaced;
};

InstalledMachines g_installed;

std::filesystem::path RootFromEnvironment() {
    const char* root = std::getenv("TINTWELL_ROOT");
    if (root != nullptr && *root != '\0') {
        return root;
    }
    return DefaultRoot();
}

// Windows keeps a monitor's EDID below its device node:
// HKLM\SYSTEM\CurrentControlSet\Enum\<node>\Device Parameters, value EDID.
void StoreMonitorEdids(const DisplayModel& displays, RegistryModel& registry) {
    for (const auto& adapter : displays.Adapters()) {
        for (const auto& monitor : adapter.monitors) {
            const auto node = MonitorDeviceNode(monitor);
            if (!monitor.edid || !node) {
                continue;
            }
            registry.Preload(L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\" + *node +
                                 L"\\Device Parameters",
                             L"EDID", RegistryValue{REG_BINARY, *monitor.edid});
        }
    }
}

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// Neither a drive, a root nor a POSIX path: taken from the current directory.
bool IsRelative(std::wstring_view path) {
    const bool drive = path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':';
    return !drive && (path.empty() || (path.front() != L'\\' && path.front() != L'/'));
}

// The API has no way to report a broken machine description to its caller,
// and answering from a different machine would mislead: stop with the reason.
std::unique_ptr<Machine> FromEnvironment() {
    const char* file = std::getenv("TINTWELL_MACHINE");
    if (file == nullptr || *file == '\0') {
        return Machine::BuiltInDefault();
    }
    try {
        return Machine::FromFile(file);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "simulated machine: cannot use TINTWELL_MACHINE=%s: %s\n", file,
                     error.what());
        std::exit(EXIT_FAILURE);
    }
}

}  // namespace

std::filesystem::path DefaultRoot() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data != '\0') {
        return std::filesystem::path(data) / "tintwell" / "machine";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "/tmp") / ".local" / "share" /
           "tintwell" / "machine";
}

Machine::Machine()
    : displays_(std::make_unique<DisplayModel>()),
      events_(std::make_unique<DisplayEvents>()),
      colors_(std::make_unique<ColorModel>()),
      system_(std::make_unique<SystemModel>()),
      registry_(std::make_unique<RegistryModel>()),
      firmware_(std::make_unique<FirmwareModel>()),
      intelDriver_(std::make_unique<IntelDriverModel>()),
      adl_(std::make_unique<AdlModel>()),
      sensors_(std::make_unique<SensorModel>()),
      clock_(std::make_unique<MachineClock>()),
      name_("unnamed machine"),
      hostExecutable_(kDefaultHostExecutable),
      root_(RootFromEnvironment()) {}

Machine::~Machine() = default;

Machine& Machine::Current() {
    std::lock_guard lock(g_installed.mutex);
    if (!g_installed.current) {
        g_installed.current = FromEnvironment();
    }
    return *g_installed.current;
}

Machine& Machine::CurrentCaughtUp() {
    Machine& machine = Current();
    machine.events_->ApplyDue(*machine.displays_, machine.clock_->Now());
    return machine;
}

void Machine::Install(std::unique_ptr<Machine> machine) {
    std::lock_guard lock(g_installed.mutex);
    if (g_installed.current) {
        g_installed.replaced.push_back(std::move(g_installed.current));
    }
    g_installed.current = std::move(machine);
}

std::unique_ptr<Machine> Machine::FromJson(const nlohmann::json& description) {
    auto machine = std::make_unique<Machine>();
    machine->name_ = description.value("name", machine->name_);
    machine->hostExecutable_ = WideMember(description, "hostExecutable", machine->hostExecutable_);
    const auto part = [&description](const char* key) {
        return description.value(key, nlohmann::json::object());
    };
    machine->displays_->Load(part("displays"));
    machine->colors_->Load(part("colorManagement"));
    machine->system_->Load(part("system"));
    // A value the registry part describes replaces a monitor's.
    StoreMonitorEdids(*machine->displays_, *machine->registry_);
    machine->registry_->Load(part("registry"));
    machine->firmware_->Load(part("firmware"));
    machine->intelDriver_->Load(part("intelDriver"));
    machine->adl_->Load(part("adl"));
    machine->sensors_->Load(part("sensors"));
    machine->clock_->SetMode(MachineClock::ParseMode(description.value("clock", "real")));
    for (auto& event : LoadDisplayEvents(description.value("events", nlohmann::json::array()),
                                         *machine->displays_)) {
        machine->events_->Schedule(std::move(event));
    }
    for (const auto& failure : description.value("failures", nlohmann::json::array())) {
        machine->FailCall(failure.at("call").get<std::string>(),
                          WholeNumber(failure, "error", ERROR_ACCESS_DENIED),
                          failure.value("always", false));
    }
    return machine;
}

std::unique_ptr<Machine> Machine::FromFile(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) {
        throw std::runtime_error("cannot open machine description " + file.string());
    }
    return FromJson(nlohmann::json::parse(in));
}

std::unique_ptr<Machine> Machine::BuiltInDefault() {
    return FromJson(nlohmann::json::parse(kDefaultMachineJson));
}

std::string Machine::Name() const {
    std::lock_guard lock(mutex_);
    return name_;
}

std::wstring Machine::HostExecutable() const {
    std::lock_guard lock(mutex_);
    return hostExecutable_;
}

void Machine::SetHostExecutable(std::wstring path) {
    std::lock_guard lock(mutex_);
    hostExecutable_ = std::move(path);
}

std::filesystem::path Machine::Root() const {
    std::lock_guard lock(mutex_);
    return root_;
}

void Machine::SetRoot(std::filesystem::path root) {
    std::lock_guard lock(mutex_);
    root_ = std::move(root);
}

std::wstring Machine::CurrentDirectory() const {
    {
        std::lock_guard lock(mutex_);
        if (currentDirectory_) {
            return *currentDirectory_;
        }
    }
    std::error_code ignored;
    return WideFromUtf8(std::filesystem::current_path(ignored).string());
}

void Machine::SetCurrentDirectory(std::wstring fullPath) {
    std::lock_guard lock(mutex_);
    currentDirectory_ = std::move(fullPath);
}

std::filesystem::path Machine::HostPath(std::wstring_view windowsPath) const {
    if (!windowsPath.empty() && windowsPath.front() == L'/') {
        return std::filesystem::path(platform::ToUtf8(windowsPath));
    }
    if (IsRelative(windowsPath)) {
        std::unique_lock lock(mutex_);
        if (currentDirectory_) {
            std::wstring full = *currentDirectory_ + L"\\" + std::wstring(windowsPath);
            lock.unlock();
            return HostPath(full);
        }
    }
    std::string relative;
    std::filesystem::path base;
    if (windowsPath.size() >= 2 && IsDriveLetter(windowsPath[0]) && windowsPath[1] == L':') {
        base = Root() / std::string(1, static_cast<char>(std::toupper(windowsPath[0])));
        windowsPath.remove_prefix(2);
    }
    for (char c : platform::ToUtf8(windowsPath)) {
        relative += (c == '\\') ? '/' : c;
    }
    while (!relative.empty() && relative.front() == '/') {
        relative.erase(relative.begin());
    }
    return base.empty() ? std::filesystem::path(relative) : base / relative;
}

void Machine::FailCall(const std::string& call, DWORD error, bool always) {
    std::lock_guard lock(mutex_);
    failures_[call] = InjectedFailure{error, always};
}

void Machine::ClearFailures() {
    std::lock_guard lock(mutex_);
    failures_.clear();
}

std::optional<DWORD> Machine::TakeFailure(std::string_view call) {
    std::lock_guard lock(mutex_);
    if (callsMade_.find(call) == callsMade_.end()) {
        callsMade_.emplace(call);
    }
    const auto found = failures_.find(call);
    if (found == failures_.end()) {
        return std::nullopt;
    }
    const DWORD error = found->second.error;
    if (!found->second.always) {
        failures_.erase(found);
    }
    return error;
}

std::vector<std::string> Machine::CallsMade() const {
    std::lock_guard lock(mutex_);
    return {callsMade_.begin(), callsMade_.end()};
}

void Machine::RecordDebugOutput(std::wstring text) {
    std::lock_guard lock(mutex_);
    debugOutput_.push_back(std::move(text));
}

std::vector<std::wstring> Machine::DebugOutput() const {
    std::lock_guard lock(mutex_);
    return debugOutput_;
}

void Machine::RecordProfileWrite(ProfileWrite write) {
    std::lock_guard lock(mutex_);
    profileWrites_.push_back(std::move(write));
}

std::vector<ProfileWrite> Machine::ProfileWrites() const {
    std::lock_guard lock(mutex_);
    return profileWrites_;
}

}  // namespace sim
