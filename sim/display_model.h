#pragma once

#include <windows.h>
#include <highlevelmonitorconfigurationapi.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace sim {

// Three arrays of 256 16-bit values, red, green, blue: the layout gdi32 takes.
using GammaRamp = std::array<WORD, 3 * 256>;

// Each colour from 0 to 65535 in even steps: what an adapter shows unless told.
GammaRamp IdentityRamp();

// What the display settings functions report for an adapter.
struct DisplaySettings {
    DWORD width = 1920;
    DWORD height = 1080;
    DWORD bitsPerPel = 32;
    DWORD frequency = 60;
    LONG x = 0;
    LONG y = 0;
};

struct MonitorDevice {
    std::wstring deviceName;                // \\.\DISPLAY1\Monitor0
    std::wstring deviceString;              // Generic PnP Monitor
    std::wstring deviceId;                  // MONITOR\BOE0C8B\{4d36e96e-...}\0001
    DWORD stateFlags = 0;                   // DISPLAY_DEVICE_ACTIVE, DISPLAY_DEVICE_ATTACHED
    std::wstring instance;                  // instance of its DISPLAY\BOE0C8B\ device node
    std::optional<std::vector<BYTE>> edid;  // kept in the registry below its device node
    // \\?\DISPLAY#BOE0C8B#<instance>#{e6f07b5f-...}: the DeviceID that
    // EDD_GET_DEVICE_INTERFACE_NAME asks for
    std::wstring interfaceName;
    // How it is connected (D3DKMDT_VIDEO_OUTPUT_TECHNOLOGY, which WMI and the
    // display configuration report); nothing when the system does not say.
    std::optional<DWORD> connection;
};

// D3DKMDT_VOT_OTHER: what the display configuration reports for a monitor
// whose connection the description leaves out.
inline constexpr DWORD kConnectionOther = 0xFFFFFFFF;

// The monitor's device node, DISPLAY\<hardware id>\<instance>, where the
// hardware id is the part of its device id between the first and second
// backslash; nothing without a second backslash.
std::optional<std::wstring> MonitorDeviceNode(const MonitorDevice& monitor);

// Red, green and blue, indexed by MC_GAIN_TYPE.
using Gains = std::array<DWORD, 3>;

inline constexpr DWORD kDefaultFactoryGain = 50;
inline constexpr DWORD kDefaultMinimumGain = 0;
inline constexpr DWORD kDefaultMaximumGain = 100;

// A monitor as the monitor configuration functions (dxva2) see it.
struct PhysicalMonitor {
    std::wstring description;
    bool invalidHandle = false;  // fetched as INVALID_HANDLE_VALUE
    bool refusesVcp = false;     // every SetVCPFeature fails
    bool refusesSave = false;    // every SaveCurrentSettings fails
    Gains factoryGains{kDefaultFactoryGain, kDefaultFactoryGain, kDefaultFactoryGain};
    DWORD minimumGain = kDefaultMinimumGain;
    DWORD maximumGain = kDefaultMaximumGain;
    Gains gains = factoryGains;  // what the monitor shows now
    // Until then on the machine clock it answers no DDC/CI request, and
    // dxva2 reports silenceError.
    std::chrono::milliseconds silentUntil{0};
    DWORD silenceError = 0;
};

inline bool IsGainType(MC_GAIN_TYPE gainType) {
    return gainType == MC_RED_GAIN || gainType == MC_GREEN_GAIN || gainType == MC_BLUE_GAIN;
}

// One colour's gain as GetMonitorRedGreenOrBlueGain reports it.
struct MonitorGain {
    DWORD minimum = 0;
    DWORD current = 0;
    DWORD maximum = 0;
};

struct DisplayAdapter {
    std::wstring deviceName;    // \\.\DISPLAY1
    std::wstring deviceString;  // Intel(R) UHD Graphics 620
    std::wstring deviceId;      // PCI\VEN_8086&DEV_5917&...
    DWORD stateFlags = 0;       // DISPLAY_DEVICE_ATTACHED_TO_DESKTOP, _PRIMARY_DEVICE, ...
    std::optional<DisplaySettings> currentSettings;
    std::optional<DisplaySettings> registrySettings;
    std::vector<MonitorDevice> monitors;
    std::vector<PhysicalMonitor> physicalMonitors;
    // SetDeviceGammaRamp answers TRUE and keeps the ramp it has when an entry
    // of the new one lies further than this from identity, as Windows may.
    std::optional<WORD> keepsRampsDeviatingBeyond;
    // While its monitors are unplugged: the state flags they and the adapter
    // had, which come back with them.
    std::optional<std::vector<DWORD>> pluggedFlags;
    // Each plug-in gives the adapter's display monitor a new HMONITOR.
    DWORD plugIns = 0;
};

// A monitor found by its device id, with the adapter it hangs off.
struct MonitorLocation {
    std::wstring adapter;
    MonitorDevice monitor;
};

// A device context: the adapter it draws on, what it was created for (the
// adapter's name or "DISPLAY"), and its image colour management mode.
struct DeviceContext {
    std::wstring adapter;
    std::wstring target;
    int icmMode = ICM_OFF;
};

// A display monitor of the desktop (an HMONITOR): one per adapter attached
// to the desktop, where its current settings place it.
struct DesktopMonitor {
    HMONITOR handle = nullptr;
    std::wstring device;  // its adapter's name, MONITORINFOEXW::szDevice
    RECT rect{};
    bool primary = false;
    std::vector<PhysicalMonitor> physicalMonitors;
};

// What an open physical monitor handle stands for.
struct PhysicalMonitorRef {
    std::wstring display;  // the device name of its HMONITOR
    std::size_t index = 0;
};

// One SetMonitorRedGreenOrBlueGain that reached a monitor, in call order.
struct GainWrite {
    PhysicalMonitorRef monitor;
    MC_GAIN_TYPE gainType = MC_RED_GAIN;
    DWORD value = 0;
    std::chrono::milliseconds time{0};  // on the machine's clock
    std::thread::id thread;
    bool accepted = true;
};

// One SetVCPFeature that reached a monitor, in call order.
struct VcpWrite {
    PhysicalMonitorRef monitor;
    BYTE code = 0;
    DWORD value = 0;
    bool accepted = true;
};

// One SaveCurrentSettings that reached a monitor, in call order.
struct SettingsSave {
    PhysicalMonitorRef monitor;
    bool accepted = true;
};

// Who loaded a ramp: the process the library runs in, another program, or
// Windows putting the identity back.
enum class RampLoader { ThisProcess, OtherProgram, Windows };

// One ramp that an adapter took, from a successful SetDeviceGammaRamp or an event.
struct RampLoad {
    std::wstring adapter;
    GammaRamp ramp;
    RampLoader loader = RampLoader::ThisProcess;
};

// The libraries of this part that the library loads at run time.
enum class SystemLibrary { Gdi32, Dxva2, Mscms };
inline constexpr std::size_t kSystemLibraries = 3;

// The part of the machine that holds adapters, monitors, device contexts and
// gamma ramps (user32, gdi32), physical monitors (dxva2), and whether gdi32,
// dxva2 and mscms have been loaded at run time.
class DisplayModel {
  public:
    // Reads this part of a machine description; absent keys keep defaults.
    void Load(const nlohmann::json& description);

    std::vector<DisplayAdapter> Adapters() const;
    // Names compare case-blind, as Windows compares device names.
    std::optional<DisplayAdapter> FindAdapter(std::wstring_view deviceName) const;
    // The monitor of any adapter whose device id is `deviceId` (case-blind);
    // an empty id finds none.
    std::optional<MonitorLocation> FindMonitor(std::wstring_view deviceId) const;
    // Every monitor in the order Plug and Play lists them, which WMI's
    // monitor classes follow: the described order, then the monitors it
    // leaves out in adapter order.
    std::vector<MonitorDevice> MonitorsInPnpOrder() const;

    // Device contexts, each bound to the adapter it draws on; a new one has
    // image colour management off.
    HDC CreateDc(std::wstring adapterName, std::wstring target);
    bool DeleteDc(HDC dc);
    std::optional<std::wstring> DcAdapter(HDC dc) const;
    std::optional<DeviceContext> FindDc(HDC dc) const;
    // Sets a device context's mode; the mode before, nothing for an unknown DC.
    std::optional<int> SwapIcmMode(HDC dc, int mode);
    std::size_t OpenDcCount() const;
    std::size_t CreatedDcCount() const;

    // The ramp an adapter shows: the identity until one is loaded.
    GammaRamp CurrentRamp(std::wstring_view adapter) const;
    // False, and nothing loaded, when the adapter keeps its ramp, whichever
    // program loads it.
    bool LoadRamp(std::wstring adapter, const GammaRamp& ramp,
                  RampLoader loader = RampLoader::ThisProcess);
    std::vector<RampLoad> RampHistory() const;
    // Windows loads the identity on every adapter.
    void ResetRamps();

    // System libraries loaded at run time: one handle each, counted references.
    HMODULE LoadSystemLibrary(SystemLibrary library);
    bool FreeSystemLibrary(HMODULE module);
    // Which library a handle stands for while it is loaded.
    std::optional<SystemLibrary> LoadedSystemLibrary(HMODULE module) const;
    int LibraryReferences(SystemLibrary library) const;
    int LibraryLoads(SystemLibrary library) const;

    std::vector<DesktopMonitor> DesktopMonitors() const;
    std::optional<DesktopMonitor> FindDesktopMonitor(HMONITOR handle) const;

    // Physical monitor handles: every fetch opens new ones, which stay open
    // until destroyed. A monitor described with an invalid handle gets
    // INVALID_HANDLE_VALUE, which is never open.
    std::vector<HANDLE> OpenPhysicalMonitors(const DesktopMonitor& display);
    bool ClosePhysicalMonitor(HANDLE handle);
    std::optional<PhysicalMonitorRef> FindPhysicalMonitor(HANDLE handle) const;
    std::optional<PhysicalMonitor> DescribePhysicalMonitor(const PhysicalMonitorRef& ref) const;
    std::size_t OpenPhysicalMonitorCount() const;
    std::size_t OpenedPhysicalMonitorCount() const;

    // An accepted write becomes the monitor's gain, held within its range.
    void RecordGainWrite(GainWrite write);
    std::vector<GainWrite> GainWrites() const;
    // Nothing for a monitor that is gone or a gain type that is none.
    std::optional<MonitorGain> Gain(const PhysicalMonitorRef& ref, MC_GAIN_TYPE gainType) const;
    // Blocks until `count` gain writes have been recorded; false when
    // `patience` runs out first (on the steady clock, not the machine's).
    bool WaitForGainWrites(std::size_t count, std::chrono::milliseconds patience) const;

    // The monitor is back at its factory gains.
    void PowerCycle(const PhysicalMonitorRef& monitor);
    // From `until` on the machine clock the monitor answers DDC/CI again;
    // before, every request fails with `error`.
    void SilenceDdcCi(const PhysicalMonitorRef& monitor, std::chrono::milliseconds until,
                      DWORD error);
    // The error a request to the monitor meets at `now`; nothing when it answers.
    std::optional<DWORD> DdcCiSilence(const PhysicalMonitorRef& monitor,
                                      std::chrono::milliseconds now) const;

    // The adapter's monitors go inactive and detached and the adapter leaves
    // the desktop: its HMONITOR and open physical monitor handles stop
    // working. A plug-in brings back the flags, a new HMONITOR, the factory
    // gains and the identity ramp. Each does nothing when the adapter is
    // already so, or unknown.
    void Unplug(std::wstring_view adapter);
    void PlugIn(std::wstring_view adapter);

    void RecordVcpWrite(VcpWrite write);
    std::vector<VcpWrite> VcpWrites() const;
    void RecordSettingsSave(SettingsSave save);
    std::vector<SettingsSave> SettingsSaves() const;

  private:
    mutable std::mutex mutex_;
    std::vector<DisplayAdapter> adapters_;
    std::vector<std::wstring> pnpOrder_;  // monitor device names
    std::map<HDC, DeviceContext> openDcs_;
    std::size_t createdDcs_ = 0;
    std::vector<RampLoad> rampHistory_;
    std::array<int, kSystemLibraries> libraryReferences_{};
    std::array<int, kSystemLibraries> libraryLoads_{};
    std::map<HANDLE, PhysicalMonitorRef> openPhysicalMonitors_;
    // Open handles whose monitor was unplugged: they stay open until destroyed.
    std::set<HANDLE> unpluggedHandles_;
    std::size_t openedPhysicalMonitors_ = 0;
    std::vector<GainWrite> gainWrites_;
    mutable std::condition_variable gainWritten_;
    std::vector<VcpWrite> vcpWrites_;
    std::vector<SettingsSave> settingsSaves_;
};

// The entry points a system library exports by name (defined beside its
// functions); null for a name it does not export.
FARPROC Gdi32Export(std::string_view name);
FARPROC Dxva2Export(std::string_view name);
FARPROC MscmsExport(std::string_view name);

}  // namespace sim
