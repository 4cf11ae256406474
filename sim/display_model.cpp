#include "sim/display_model.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#include <nlohmann/json.hpp>

#include "sim/registry_model.h"
#include "sim/wide_text.h"
#include "sim/whole_number.h"

namespace sim {

namespace {

// Handle values only identify; nothing dereferences them.
constexpr std::uintptr_t kFirstDcHandle = 0x0A010000;
constexpr std::uintptr_t kDcHandleStep = 0x10;
constexpr std::uintptr_t kFirstLibraryHandle = 0x7FFB40000000;
constexpr std::uintptr_t kLibraryHandleStep = 0x10000000;
constexpr std::uintptr_t kFirstMonitorHandle = 0x00010001;
constexpr std::uintptr_t kMonitorHandlePlugInStep = 0x100;
constexpr std::uintptr_t kFirstPhysicalMonitorHandle = 0x0B010000;
constexpr std::uintptr_t kPhysicalMonitorHandleStep = 0x10;

// The device interface class of monitors, GUID_DEVINTERFACE_MONITOR.
constexpr const wchar_t* kMonitorInterfaceClass = L"{e6f07b5f-ee97-4a90-b076-33f57bf4eaa7}";

// The monitor connections a description names (D3DKMDT_VIDEO_OUTPUT_TECHNOLOGY).
struct ConnectionName {
    const char* name;
    DWORD technology;
};
constexpr ConnectionName kConnections[] = {
    {"other", kConnectionOther},
    {"hd15", 0},
    {"dvi", 4},
    {"hdmi", 5},
    {"lvds", 6},
    {"displayPort", 10},
    {"displayPortEmbedded", 11},
    {"udiEmbedded", 13},
    {"miracast", 15},
    {"internal", 0x80000000},
};

constexpr std::size_t kRampEntries = 256;
constexpr WORD kIdentityStep = 257;  // 0 ... 65535 over 256 entries

HMODULE ModuleHandle(SystemLibrary library) {
    return reinterpret_cast<HMODULE>(kFirstLibraryHandle +
                                     static_cast<std::uintptr_t>(library) * kLibraryHandleStep);
}

std::optional<SystemLibrary> LibraryOfHandle(HMODULE module) {
    for (const auto library : {SystemLibrary::Gdi32, SystemLibrary::Dxva2, SystemLibrary::Mscms}) {
        if (module == ModuleHandle(library)) {
            return library;
        }
    }
    return std::nullopt;
}

// Absent: `fallback`; null: no settings; an object: its members over the defaults.
std::optional<DisplaySettings> LoadSettings(const nlohmann::json& adapter, const char* key,
                                            std::optional<DisplaySettings> fallback) {
    const auto found = adapter.find(key);
    if (found == adapter.end()) {
        return fallback;
    }
    if (found->is_null()) {
        return std::nullopt;
    }
    DisplaySettings settings;
    settings.width = WholeNumber(*found, "width", settings.width);
    settings.height = WholeNumber(*found, "height", settings.height);
    settings.bitsPerPel = WholeNumber(*found, "bitsPerPel", settings.bitsPerPel);
    settings.frequency = WholeNumber(*found, "frequency", settings.frequency);
    settings.x = WholeNumber(*found, "x", settings.x);
    settings.y = WholeNumber(*found, "y", settings.y);
    return settings;
}

// The part of a monitor's device id between its first and second backslash.
std::optional<std::wstring> HardwareId(const std::wstring& deviceId) {
    const auto first = deviceId.find(L'\\');
    const auto second = first == std::wstring::npos ? first : deviceId.find(L'\\', first + 1);
    if (second == std::wstring::npos) {
        return std::nullopt;
    }
    return deviceId.substr(first + 1, second - first - 1);
}

std::wstring DefaultInterfaceName(const MonitorDevice& monitor) {
    const auto hardwareId = HardwareId(monitor.deviceId);
    if (!hardwareId) {
        return {};
    }
    return L"\\\\?\\DISPLAY#" + *hardwareId + L"#" + monitor.instance + L"#" +
           kMonitorInterfaceClass;
}

std::optional<DWORD> LoadConnection(const nlohmann::json& monitor) {
    const auto found = monitor.find("connection");
    if (found == monitor.end()) {
        return std::nullopt;
    }
    const std::string name = found->get<std::string>();
    for (const auto& connection : kConnections) {
        if (name == connection.name) {
            return connection.technology;
        }
    }
    throw std::invalid_argument("displays: monitor connection \"" + name + "\" is unknown");
}

MonitorDevice LoadMonitor(const nlohmann::json& monitor, const DisplayAdapter& adapter,
                          std::size_t adapterIndex, std::size_t index) {
    MonitorDevice device;
    device.deviceName = WideMember(monitor, "deviceName",
                                   adapter.deviceName + L"\\Monitor" + std::to_wstring(index));
    device.deviceString = WideMember(monitor, "deviceString");
    device.deviceId = WideMember(monitor, "deviceId");
    device.stateFlags = WholeNumber(monitor, "stateFlags", DWORD{0});
    device.instance =
        WideMember(monitor, "instance", L"1&0&0&UID" + std::to_wstring(256 * adapterIndex + index));
    if (const auto edid = monitor.find("edid"); edid != monitor.end()) {
        device.edid = ParseHexText(edid->get<std::string>(), "displays: monitor edid");
    }
    device.interfaceName = WideMember(monitor, "interfaceName", DefaultInterfaceName(device));
    device.connection = LoadConnection(monitor);
    return device;
}

Gains LoadFactoryGains(const nlohmann::json& monitor, const Gains& fallback) {
    const auto found = monitor.find("factoryGains");
    if (found == monitor.end()) {
        return fallback;
    }
    if (!found->is_array() || found->size() != fallback.size()) {
        throw std::invalid_argument("displays: factoryGains: not three gains, red, green, blue");
    }
    Gains gains{};
    for (std::size_t i = 0; i < gains.size(); ++i) {
        gains[i] = WholeNumber<DWORD>((*found)[i], "displays: factoryGains");
    }
    return gains;
}

PhysicalMonitor LoadPhysicalMonitor(const nlohmann::json& monitor) {
    PhysicalMonitor physical;
    physical.description = WideMember(monitor, "description");
    physical.invalidHandle = monitor.value("invalidHandle", false);
    physical.refusesVcp = monitor.value("refusesVcp", false);
    physical.refusesSave = monitor.value("refusesSave", false);
    physical.minimumGain = WholeNumber(monitor, "minimumGain", physical.minimumGain);
    physical.maximumGain = WholeNumber(monitor, "maximumGain", physical.maximumGain);
    physical.factoryGains = LoadFactoryGains(monitor, physical.factoryGains);
    for (const DWORD gain : physical.factoryGains) {
        if (gain < physical.minimumGain || gain > physical.maximumGain) {
            throw std::invalid_argument(
                "displays: factoryGains: a gain lies outside minimumGain ... maximumGain");
        }
    }
    physical.gains = physical.factoryGains;
    return physical;
}

// Unless described, every active and attached monitor of the adapter answers
// DDC/CI under its device string.
std::vector<PhysicalMonitor> LoadPhysicalMonitors(const nlohmann::json& adapter,
                                                  const std::vector<MonitorDevice>& monitors) {
    std::vector<PhysicalMonitor> physical;
    if (const auto described = adapter.find("physicalMonitors"); described != adapter.end()) {
        for (const auto& monitor : *described) {
            physical.push_back(LoadPhysicalMonitor(monitor));
        }
        return physical;
    }
    constexpr DWORD kActiveAttached = DISPLAY_DEVICE_ACTIVE | DISPLAY_DEVICE_ATTACHED;
    for (const auto& monitor : monitors) {
        if ((monitor.stateFlags & kActiveAttached) == kActiveAttached) {
            PhysicalMonitor described;
            described.description = monitor.deviceString;
            physical.push_back(std::move(described));
        }
    }
    return physical;
}

DisplayAdapter LoadAdapter(const nlohmann::json& adapter, std::size_t index) {
    DisplayAdapter device;
    device.deviceName =
        WideMember(adapter, "deviceName", L"\\\\.\\DISPLAY" + std::to_wstring(index + 1));
    device.deviceString = WideMember(adapter, "deviceString");
    device.deviceId = WideMember(adapter, "deviceId");
    device.stateFlags = WholeNumber(adapter, "stateFlags", DWORD{0});
    const bool onDesktop = (device.stateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) != 0;
    device.currentSettings =
        LoadSettings(adapter, "currentSettings",
                     onDesktop ? std::optional<DisplaySettings>(DisplaySettings{}) : std::nullopt);
    device.registrySettings = LoadSettings(adapter, "registrySettings", DisplaySettings{});
    const auto monitors = adapter.value("monitors", nlohmann::json::array());
    for (std::size_t m = 0; m < monitors.size(); ++m) {
        device.monitors.push_back(LoadMonitor(monitors[m], device, index, m));
    }
    device.physicalMonitors = LoadPhysicalMonitors(adapter, device.monitors);
    if (adapter.contains("keepsRampsDeviatingBeyond")) {
        device.keepsRampsDeviatingBeyond =
            WholeNumber<WORD>(adapter["keepsRampsDeviatingBeyond"], "keepsRampsDeviatingBeyond");
    }
    return device;
}

// Device names compare case-blind, as Windows compares them.
const MonitorDevice* FindMonitorNamed(const std::vector<DisplayAdapter>& adapters,
                                      std::wstring_view name) {
    for (const auto& adapter : adapters) {
        for (const auto& monitor : adapter.monitors) {
            if (EqualsIgnoringCase(monitor.deviceName, name)) {
                return &monitor;
            }
        }
    }
    return nullptr;
}

RECT DesktopRect(const DisplayAdapter& adapter) {
    const DisplaySettings settings = adapter.currentSettings.value_or(DisplaySettings{});
    return {settings.x, settings.y, settings.x + static_cast<LONG>(settings.width),
            settings.y + static_cast<LONG>(settings.height)};
}

int LargestDeviationFromIdentity(const GammaRamp& ramp) {
    const GammaRamp identity = IdentityRamp();
    int largest = 0;
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        largest = std::max(largest, std::abs(int{ramp[i]} - int{identity[i]}));
    }
    return largest;
}

constexpr DWORD kLeavesWithItsMonitors =
    DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | DISPLAY_DEVICE_PRIMARY_DEVICE;
constexpr DWORD kMonitorPresent = DISPLAY_DEVICE_ACTIVE | DISPLAY_DEVICE_ATTACHED;

// Const or not, as the adapters are; null for none of that name.
template <typename Adapters>
auto FindAdapterNamed(Adapters& adapters, std::wstring_view name) -> decltype(&adapters.front()) {
    for (auto& adapter : adapters) {
        if (EqualsIgnoringCase(adapter.deviceName, name)) {
            return &adapter;
        }
    }
    return nullptr;
}

// The physical monitor a handle stands for; null when its display has none
// at that place. Const or not, as the adapters are.
template <typename Adapters>
auto FindPhysical(Adapters& adapters, const PhysicalMonitorRef& ref)
    -> decltype(&adapters.front().physicalMonitors.front()) {
    for (auto& adapter : adapters) {
        if (EqualsIgnoringCase(adapter.deviceName, ref.display) &&
            ref.index < adapter.physicalMonitors.size()) {
            return &adapter.physicalMonitors[ref.index];
        }
    }
    return nullptr;
}

}  // namespace

GammaRamp IdentityRamp() {
    GammaRamp ramp{};
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = static_cast<WORD>((i % kRampEntries) * kIdentityStep);
    }
    return ramp;
}

std::optional<std::wstring> MonitorDeviceNode(const MonitorDevice& monitor) {
    const auto hardwareId = HardwareId(monitor.deviceId);
    if (!hardwareId) {
        return std::nullopt;
    }
    return L"DISPLAY\\" + *hardwareId + L"\\" + monitor.instance;
}

void DisplayModel::Load(const nlohmann::json& description) {
    std::lock_guard lock(mutex_);
    const auto adapters = description.value("adapters", nlohmann::json::array());
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        adapters_.push_back(LoadAdapter(adapters[i], i));
    }
    for (const auto& name : description.value("pnpOrder", nlohmann::json::array())) {
        const std::wstring wide = WideFromUtf8(name.get<std::string>());
        const bool twice = std::any_of(pnpOrder_.begin(), pnpOrder_.end(), [&](const auto& listed) {
            return EqualsIgnoringCase(listed, wide);
        });
        if (twice || !FindMonitorNamed(adapters_, wide)) {
            throw std::invalid_argument("displays: pnpOrder: " + name.get<std::string>() +
                                        " is no monitor, or is listed twice");
        }
        pnpOrder_.push_back(wide);
    }
}

std::vector<DisplayAdapter> DisplayModel::Adapters() const {
    std::lock_guard lock(mutex_);
    return adapters_;
}

std::optional<DisplayAdapter> DisplayModel::FindAdapter(std::wstring_view deviceName) const {
    std::lock_guard lock(mutex_);
    const auto found = std::find_if(adapters_.begin(), adapters_.end(), [&](const auto& adapter) {
        return EqualsIgnoringCase(adapter.deviceName, deviceName);
    });
    return found == adapters_.end() ? std::nullopt : std::optional<DisplayAdapter>(*found);
}

std::optional<MonitorLocation> DisplayModel::FindMonitor(std::wstring_view deviceId) const {
    std::lock_guard lock(mutex_);
    if (deviceId.empty()) {
        return std::nullopt;
    }
    for (const auto& adapter : adapters_) {
        for (const auto& monitor : adapter.monitors) {
            if (EqualsIgnoringCase(monitor.deviceId, deviceId)) {
                return MonitorLocation{adapter.deviceName, monitor};
            }
        }
    }
    return std::nullopt;
}

std::vector<MonitorDevice> DisplayModel::MonitorsInPnpOrder() const {
    std::lock_guard lock(mutex_);
    std::vector<MonitorDevice> ordered;
    for (const auto& name : pnpOrder_) {
        ordered.push_back(*FindMonitorNamed(adapters_, name));
    }
    for (const auto& adapter : adapters_) {
        for (const auto& monitor : adapter.monitors) {
            const bool listed = std::any_of(
                pnpOrder_.begin(), pnpOrder_.end(),
                [&](const auto& name) { return EqualsIgnoringCase(name, monitor.deviceName); });
            if (!listed) {
                ordered.push_back(monitor);
            }
        }
    }
    return ordered;
}

HDC DisplayModel::CreateDc(std::wstring adapterName, std::wstring target) {
    std::lock_guard lock(mutex_);
    const auto dc = reinterpret_cast<HDC>(kFirstDcHandle +
                                          kDcHandleStep * static_cast<std::uintptr_t>(createdDcs_));
    ++createdDcs_;
    openDcs_.emplace(dc, DeviceContext{std::move(adapterName), std::move(target)});
    return dc;
}

bool DisplayModel::DeleteDc(HDC dc) {
    std::lock_guard lock(mutex_);
    return openDcs_.erase(dc) == 1;
}

std::optional<std::wstring> DisplayModel::DcAdapter(HDC dc) const {
    const auto context = FindDc(dc);
    return context ? std::optional<std::wstring>(context->adapter) : std::nullopt;
}

std::optional<DeviceContext> DisplayModel::FindDc(HDC dc) const {
    std::lock_guard lock(mutex_);
    const auto found = openDcs_.find(dc);
    return found == openDcs_.end() ? std::nullopt : std::optional<DeviceContext>(found->second);
}

std::optional<int> DisplayModel::SwapIcmMode(HDC dc, int mode) {
    std::lock_guard lock(mutex_);
    const auto found = openDcs_.find(dc);
    if (found == openDcs_.end()) {
        return std::nullopt;
    }
    return std::exchange(found->second.icmMode, mode);
}

std::size_t DisplayModel::OpenDcCount() const {
    std::lock_guard lock(mutex_);
    return openDcs_.size();
}

std::size_t DisplayModel::CreatedDcCount() const {
    std::lock_guard lock(mutex_);
    return createdDcs_;
}

GammaRamp DisplayModel::CurrentRamp(std::wstring_view adapter) const {
    std::lock_guard lock(mutex_);
    const auto last = std::find_if(rampHistory_.rbegin(), rampHistory_.rend(),
                                   [&](const auto& load) { return load.adapter == adapter; });
    return last == rampHistory_.rend() ? IdentityRamp() : last->ramp;
}

bool DisplayModel::LoadRamp(std::wstring adapter, const GammaRamp& ramp, RampLoader loader) {
    std::lock_guard lock(mutex_);
    const DisplayAdapter* described = FindAdapterNamed(adapters_, adapter);
    if (described != nullptr && described->keepsRampsDeviatingBeyond &&
        LargestDeviationFromIdentity(ramp) > *described->keepsRampsDeviatingBeyond) {
        return false;
    }
    rampHistory_.push_back({std::move(adapter), ramp, loader});
    return true;
}

void DisplayModel::ResetRamps() {
    std::lock_guard lock(mutex_);
    for (const auto& adapter : adapters_) {
        rampHistory_.push_back({adapter.deviceName, IdentityRamp(), RampLoader::Windows});
    }
}

std::vector<RampLoad> DisplayModel::RampHistory() const {
    std::lock_guard lock(mutex_);
    return rampHistory_;
}

HMODULE DisplayModel::LoadSystemLibrary(SystemLibrary library) {
    std::lock_guard lock(mutex_);
    const auto index = static_cast<std::size_t>(library);
    ++libraryReferences_[index];
    ++libraryLoads_[index];
    return ModuleHandle(library);
}

bool DisplayModel::FreeSystemLibrary(HMODULE module) {
    std::lock_guard lock(mutex_);
    const auto library = LibraryOfHandle(module);
    if (!library || libraryReferences_[static_cast<std::size_t>(*library)] == 0) {
        return false;
    }
    --libraryReferences_[static_cast<std::size_t>(*library)];
    return true;
}

std::optional<SystemLibrary> DisplayModel::LoadedSystemLibrary(HMODULE module) const {
    std::lock_guard lock(mutex_);
    const auto library = LibraryOfHandle(module);
    if (!library || libraryReferences_[static_cast<std::size_t>(*library)] == 0) {
        return std::nullopt;
    }
    return library;
}

int DisplayModel::LibraryReferences(SystemLibrary library) const {
    std::lock_guard lock(mutex_);
    return libraryReferences_[static_cast<std::size_t>(library)];
}

int DisplayModel::LibraryLoads(SystemLibrary library) const {
    std::lock_guard lock(mutex_);
    return libraryLoads_[static_cast<std::size_t>(library)];
}

std::vector<DesktopMonitor> DisplayModel::DesktopMonitors() const {
    std::lock_guard lock(mutex_);
    std::vector<DesktopMonitor> displays;
    for (std::size_t i = 0; i < adapters_.size(); ++i) {
        const DisplayAdapter& adapter = adapters_[i];
        if ((adapter.stateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) == 0) {
            continue;
        }
        const std::uintptr_t handle =
            kFirstMonitorHandle + i + kMonitorHandlePlugInStep * adapter.plugIns;
        displays.push_back(
            {reinterpret_cast<HMONITOR>(handle), adapter.deviceName, DesktopRect(adapter),
             (adapter.stateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0, adapter.physicalMonitors});
    }
    return displays;
}

std::optional<DesktopMonitor> DisplayModel::FindDesktopMonitor(HMONITOR handle) const {
    for (auto& display : DesktopMonitors()) {
        if (display.handle == handle) {
            return std::move(display);
        }
    }
    return std::nullopt;
}

std::vector<HANDLE> DisplayModel::OpenPhysicalMonitors(const DesktopMonitor& display) {
    std::lock_guard lock(mutex_);
    std::vector<HANDLE> handles;
    for (std::size_t i = 0; i < display.physicalMonitors.size(); ++i) {
        if (display.physicalMonitors[i].invalidHandle) {
            handles.push_back(INVALID_HANDLE_VALUE);
            continue;
        }
        const auto handle = reinterpret_cast<HANDLE>(
            kFirstPhysicalMonitorHandle +
            kPhysicalMonitorHandleStep * static_cast<std::uintptr_t>(openedPhysicalMonitors_));
        ++openedPhysicalMonitors_;
        openPhysicalMonitors_.emplace(handle, PhysicalMonitorRef{display.device, i});
        handles.push_back(handle);
    }
    return handles;
}

bool DisplayModel::ClosePhysicalMonitor(HANDLE handle) {
    std::lock_guard lock(mutex_);
    unpluggedHandles_.erase(handle);
    return openPhysicalMonitors_.erase(handle) == 1;
}

std::optional<PhysicalMonitorRef> DisplayModel::FindPhysicalMonitor(HANDLE handle) const {
    std::lock_guard lock(mutex_);
    if (unpluggedHandles_.contains(handle)) {
        return std::nullopt;
    }
    const auto found = openPhysicalMonitors_.find(handle);
    return found == openPhysicalMonitors_.end() ? std::nullopt
                                                : std::optional<PhysicalMonitorRef>(found->second);
}

std::optional<PhysicalMonitor> DisplayModel::DescribePhysicalMonitor(
    const PhysicalMonitorRef& ref) const {
    std::lock_guard lock(mutex_);
    const PhysicalMonitor* monitor = FindPhysical(adapters_, ref);
    return monitor == nullptr ? std::nullopt : std::optional<PhysicalMonitor>(*monitor);
}

std::size_t DisplayModel::OpenPhysicalMonitorCount() const {
    std::lock_guard lock(mutex_);
    return openPhysicalMonitors_.size();
}

std::size_t DisplayModel::OpenedPhysicalMonitorCount() const {
    std::lock_guard lock(mutex_);
    return openedPhysicalMonitors_;
}

void DisplayModel::RecordGainWrite(GainWrite write) {
    {
        std::lock_guard lock(mutex_);
        PhysicalMonitor* monitor = FindPhysical(adapters_, write.monitor);
        if (write.accepted && monitor != nullptr && IsGainType(write.gainType)) {
            monitor->gains[write.gainType] =
                std::clamp(write.value, monitor->minimumGain, monitor->maximumGain);
        }
        gainWrites_.push_back(std::move(write));
    }
    gainWritten_.notify_all();
}

std::optional<MonitorGain> DisplayModel::Gain(const PhysicalMonitorRef& ref,
                                              MC_GAIN_TYPE gainType) const {
    std::lock_guard lock(mutex_);
    const PhysicalMonitor* monitor = FindPhysical(adapters_, ref);
    if (monitor == nullptr || !IsGainType(gainType)) {
        return std::nullopt;
    }
    return MonitorGain{monitor->minimumGain, monitor->gains[gainType], monitor->maximumGain};
}

std::vector<GainWrite> DisplayModel::GainWrites() const {
    std::lock_guard lock(mutex_);
    return gainWrites_;
}

bool DisplayModel::WaitForGainWrites(std::size_t count, std::chrono::milliseconds patience) const {
    std::unique_lock lock(mutex_);
    return gainWritten_.wait_for(lock, patience, [&] { return gainWrites_.size() >= count; });
}

void DisplayModel::PowerCycle(const PhysicalMonitorRef& monitor) {
    std::lock_guard lock(mutex_);
    if (PhysicalMonitor* physical = FindPhysical(adapters_, monitor)) {
        physical->gains = physical->factoryGains;
    }
}

void DisplayModel::SilenceDdcCi(const PhysicalMonitorRef& monitor, std::chrono::milliseconds until,
                                DWORD error) {
    std::lock_guard lock(mutex_);
    if (PhysicalMonitor* physical = FindPhysical(adapters_, monitor)) {
        physical->silentUntil = until;
        physical->silenceError = error;
    }
}

std::optional<DWORD> DisplayModel::DdcCiSilence(const PhysicalMonitorRef& monitor,
                                                std::chrono::milliseconds now) const {
    std::lock_guard lock(mutex_);
    const PhysicalMonitor* physical = FindPhysical(adapters_, monitor);
    if (physical == nullptr || now >= physical->silentUntil) {
        return std::nullopt;
    }
    return physical->silenceError;
}

void DisplayModel::Unplug(std::wstring_view adapterName) {
    std::lock_guard lock(mutex_);
    DisplayAdapter* adapter = FindAdapterNamed(adapters_, adapterName);
    if (adapter == nullptr || adapter->pluggedFlags) {
        return;
    }
    std::vector<DWORD> flags{adapter->stateFlags};
    adapter->stateFlags &= ~kLeavesWithItsMonitors;
    for (auto& monitor : adapter->monitors) {
        flags.push_back(monitor.stateFlags);
        monitor.stateFlags &= ~kMonitorPresent;
    }
    adapter->pluggedFlags = std::move(flags);
    for (const auto& [handle, ref] : openPhysicalMonitors_) {
        if (EqualsIgnoringCase(ref.display, adapter->deviceName)) {
            unpluggedHandles_.insert(handle);
        }
    }
}

void DisplayModel::PlugIn(std::wstring_view adapterName) {
    std::lock_guard lock(mutex_);
    DisplayAdapter* adapter = FindAdapterNamed(adapters_, adapterName);
    if (adapter == nullptr || !adapter->pluggedFlags) {
        return;
    }
    const std::vector<DWORD> flags = *std::exchange(adapter->pluggedFlags, std::nullopt);
    adapter->stateFlags = flags.front();
    for (std::size_t i = 0; i < adapter->monitors.size(); ++i) {
        adapter->monitors[i].stateFlags = flags[i + 1];
    }
    ++adapter->plugIns;
    for (auto& physical : adapter->physicalMonitors) {
        physical.gains = physical.factoryGains;
    }
    rampHistory_.push_back({adapter->deviceName, IdentityRamp(), RampLoader::Windows});
}

void DisplayModel::RecordVcpWrite(VcpWrite write) {
    std::lock_guard lock(mutex_);
    vcpWrites_.push_back(std::move(write));
}

std::vector<VcpWrite> DisplayModel::VcpWrites() const {
    std::lock_guard lock(mutex_);
    return vcpWrites_;
}

void DisplayModel::RecordSettingsSave(SettingsSave save) {
    std::lock_guard lock(mutex_);
    settingsSaves_.push_back(std::move(save));
}

std::vector<SettingsSave> DisplayModel::SettingsSaves() const {
    std::lock_guard lock(mutex_);
    return settingsSaves_;
}

}  // namespace sim
