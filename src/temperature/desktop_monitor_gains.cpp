#include "temperature/desktop_monitor_gains.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>
#include <string>

#include "colorstate/color_state_record.h"
#include "log/debug_line.h"
#include "platform/physical_monitors.h"

thread_local ColorRequest g_colorCurrentSet;

namespace {

constexpr float kGainPercent = 100.0f;
constexpr std::uint32_t kFullBlueProtectLevel = 255;
// A monitor needs a moment to take a gain before the next command.
constexpr DWORD kGainSettleMs = 50;

struct MonitorGains {
    DWORD r = 0;
    DWORD g = 0;
    DWORD b = 0;
};

// Which physical monitors of a display get the gains. With exactly one maker's
// monitor, the others behind a display that does not host it are served from
// the second on; otherwise only the displays that host a maker's monitor are.
struct ServingRule {
    std::size_t makers = 0;
    bool found = false;

    bool Serves(std::size_t index) const {
        if (makers == 1 && index > 0) {
            return !found;
        }
        return found;
    }
};

// A monitor's device name is its display's name, a backslash and its own
// part (\\.\DISPLAY1\Monitor0); matching on the name alone would also put
// the monitors of \\.\DISPLAY10 under \\.\DISPLAY1.
bool LiesOnDisplay(const std::wstring& monitorName, const std::wstring& displayName) {
    return !displayName.empty() && monitorName.starts_with(displayName + L'\\');
}

ServingRule RuleFor(const std::vector<DisplayDeviceRecord>& records,
                    const std::wstring& displayName) {
    ServingRule rule;
    for (const auto& record : records) {
        if (discovery::IsMakersMonitor(record)) {
            ++rule.makers;
            rule.found = rule.found || LiesOnDisplay(record.deviceName, displayName);
        }
    }
    return rule;
}

// Truncated toward zero into the range a gain can carry; a gain that is not
// a number, or negative, asks for nothing.
DWORD GainValue(double value) {
    constexpr double kLargest = std::numeric_limits<DWORD>::max();
    if (!(value > 0.0)) {
        return 0;
    }
    return static_cast<DWORD>(std::min(value, kLargest));
}

// Percentages are computed in float: 0.9f × 100 is 90 there, where double
// arithmetic gives 89.99999… and truncates to 89. Blue protection reaches the
// monitors only at its full level.
MonitorGains GainsOf(const ColorRequest& set) {
    MonitorGains gains{GainValue(set.r * kGainPercent), GainValue(set.g * kGainPercent),
                       GainValue(set.b * kGainPercent)};
    if (set.blueProtectLevel == kFullBlueProtectLevel) {
        gains.b = GainValue(gains.b * set.blueProtectRatio);
    }
    return gains;
}

std::wstring DisplayDeviceName(HMONITOR display) {
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(display, &info)) {
        return std::wstring();
    }
    return info.szDevice;
}

// A monitor that refuses a gain keeps its old one; nobody is told.
void SetGain(const Dxva2EntryPoints& dxva2, HANDLE monitor, MC_GAIN_TYPE gainType, DWORD value) {
    dxva2.SetMonitorRedGreenOrBlueGain(monitor, gainType, value);
    Sleep(kGainSettleMs);
}

void SetGains(const Dxva2EntryPoints& dxva2, HANDLE monitor, const MonitorGains& gains) {
    DebugTrace() << L"[LCD MonitorEnumProc g_colorCurrentSet.fR] " << gains.r;
    DebugTrace() << L"[LCD MonitorEnumProc g_colorCurrentSet.fG] " << gains.g;
    DebugTrace() << L"[LCD MonitorEnumProc g_colorCurrentSet.fB] " << gains.b;
    SetGain(dxva2, monitor, MC_RED_GAIN, gains.r);
    SetGain(dxva2, monitor, MC_GREEN_GAIN, gains.g);
    SetGain(dxva2, monitor, MC_BLUE_GAIN, gains.b);
    DebugTrace() << L"[LCD SetMonitorRedGreenOrBlueGain set Ok]";
}

void ApplyGains(const Dxva2EntryPoints& dxva2, const std::wstring& display,
                std::span<const PHYSICAL_MONITOR> monitors, const ServingRule& rule) {
    const MonitorGains gains = GainsOf(g_colorCurrentSet);
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        if (monitors[i].hPhysicalMonitor == INVALID_HANDLE_VALUE) {
            DebugTrace() << L"[LCD physicalMonitorHandle is nullptr]";
            return;
        }
        if (rule.Serves(i)) {
            ColorStateRecord::Instance().RecordGains({display, i}, {gains.r, gains.g, gains.b});
            SetGains(dxva2, monitors[i].hPhysicalMonitor, gains);
        }
    }
}

}  // namespace

BOOL CALLBACK MonitorEnumProc(HMONITOR display, HDC, LPRECT, LPARAM passAddress) {
    const auto& pass = *reinterpret_cast<const DesktopPass*>(passAddress);
    DebugTrace() << L"[LCD MonitorEnumProc Enter] ";
    const std::wstring name = DisplayDeviceName(display);
    DebugTrace() << L"[LCD MonitorEnumProc DeviceName] " << name;
    const PhysicalMonitors physical(pass.dxva2, display);
    ApplyGains(pass.dxva2, name, physical.Monitors(), RuleFor(pass.displayDeviceList, name));
    return TRUE;
}
