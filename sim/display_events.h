// What the world does to a machine's displays while the library runs: other
// programs, Windows, and the monitors themselves change what the library
// applied, so that its read-back and restore can be driven from a test or a
// machine description.
#pragma once

#include <windows.h>

#include <array>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "sim/display_model.h"
#include "sim/error_codes.h"

namespace sim {

// Another program loads `ramp` on an adapter, as SetDeviceGammaRamp does.
struct OtherProgramRamp {
    std::wstring adapter;
    GammaRamp ramp;
};

// Windows puts every adapter back to the identity ramp.
struct RampReset {};

// A monitor is switched off and on: its gains are its factory gains again.
struct MonitorPowerCycle {
    PhysicalMonitorRef monitor;
};

// The monitors of an adapter are unplugged: the adapter leaves the desktop.
struct MonitorUnplug {
    std::wstring adapter;
};

// The monitors of an unplugged adapter are plugged back in.
struct MonitorPlugIn {
    std::wstring adapter;
};

// After resume a monitor answers no DDC/CI request for `length`.
struct DdcCiSilence {
    PhysicalMonitorRef monitor;
    std::chrono::milliseconds length{0};
    DWORD error = kErrorI2cTransmitting;
};

using DisplayEvent = std::variant<OtherProgramRamp, RampReset, MonitorPowerCycle, MonitorUnplug,
                                  MonitorPlugIn, DdcCiSilence>;

// An event due at `at` on the machine clock, again every `every` after it
// when given, `count` times in all (without a count: for as long as the
// machine runs).
struct ScheduledDisplayEvent {
    DisplayEvent event;
    std::chrono::milliseconds at{0};
    std::optional<std::chrono::milliseconds> every;
    std::optional<unsigned> count;
};

// A ramp scaling the identity by a gain per colour, each within 0 ... 1.
GammaRamp RampOfGains(const std::array<double, 3>& gains);

// A machine description's "events"; throws std::invalid_argument naming what
// is wrong. An unplug with "for" is two events: the unplug and the plug-in.
std::vector<ScheduledDisplayEvent> LoadDisplayEvents(const nlohmann::json& events,
                                                     const DisplayModel& displays);

// The events a machine has yet to see. Each sim call that observes or
// changes display state first applies those its clock has reached, in time
// order, each as of the time it was due; so the virtual clock and the real
// one drive them alike, and no thread of the model's runs on its own.
class DisplayEvents {
  public:
    void Schedule(ScheduledDisplayEvent event);
    void ApplyDue(DisplayModel& displays, std::chrono::milliseconds now);
    std::size_t Pending() const;

  private:
    // Held while events are applied, so that a call racing another sees
    // either none or all of what is due.
    mutable std::mutex mutex_;
    std::vector<ScheduledDisplayEvent> pending_;
};

}  // namespace sim
