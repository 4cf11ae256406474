#include "sim/display_events.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string_view>
#include <utility>

#include <nlohmann/json.hpp>

#include "sim/wide_text.h"
#include "sim/whole_number.h"

namespace sim {

namespace {

using std::chrono::milliseconds;

template <typename... Visitors>
struct Overloaded : Visitors... {
    using Visitors::operator()...;
};

[[noreturn]] void Refuse(const std::string& what) {
    throw std::invalid_argument("events: " + what);
}

milliseconds Duration(const nlohmann::json& event, const char* key) {
    return milliseconds(WholeNumber<std::uint32_t>(event.at(key), std::string("events: ") + key));
}

std::wstring AdapterOf(const nlohmann::json& event, const DisplayModel& displays) {
    const std::string name = event.at("display").get<std::string>();
    const auto adapter = displays.FindAdapter(WideFromUtf8(name));
    if (!adapter) {
        Refuse("display " + name + " is no adapter");
    }
    return adapter->deviceName;
}

PhysicalMonitorRef MonitorOf(const nlohmann::json& event, const DisplayModel& displays) {
    const std::wstring adapter = AdapterOf(event, displays);
    const auto index = WholeNumber(event, "monitor", std::size_t{0});
    if (index >= displays.FindAdapter(adapter)->physicalMonitors.size()) {
        Refuse("monitor " + std::to_string(index) + " is not behind its display");
    }
    return {adapter, index};
}

GammaRamp RampOf(const nlohmann::json& event) {
    if (const auto ramp = event.find("ramp"); ramp != event.end()) {
        if (!ramp->is_array() || ramp->size() != GammaRamp{}.size()) {
            Refuse("ramp: not 768 entries, red, green, blue");
        }
        GammaRamp entries{};
        for (std::size_t i = 0; i < entries.size(); ++i) {
            entries[i] = WholeNumber<WORD>((*ramp)[i], "events: ramp");
        }
        return entries;
    }
    const auto& gains = event.at("gains");
    std::array<double, 3> values{};
    if (!gains.is_array() || gains.size() != values.size()) {
        Refuse("gains: not three gains, red, green, blue");
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = gains[i].get<double>();
        if (!(values[i] >= 0.0 && values[i] <= 1.0)) {
            Refuse("gains: a gain lies outside 0 ... 1");
        }
    }
    return RampOfGains(values);
}

ScheduledDisplayEvent Timing(const nlohmann::json& event) {
    ScheduledDisplayEvent scheduled{RampReset{}, Duration(event, "at"), std::nullopt, std::nullopt};
    if (event.contains("every")) {
        scheduled.every = Duration(event, "every");
        if (scheduled.every->count() == 0) {
            Refuse("every: a repeating event needs a period");
        }
    }
    if (event.contains("count")) {
        scheduled.count = WholeNumber<unsigned>(event["count"], "events: count");
        if (!scheduled.every || *scheduled.count == 0) {
            Refuse("count: bounds a repeating event, at least once");
        }
    }
    return scheduled;
}

void LoadEvent(const nlohmann::json& event, const DisplayModel& displays,
               std::vector<ScheduledDisplayEvent>& events) {
    if (!event.is_object()) {
        Refuse("an event is not an object");
    }
    ScheduledDisplayEvent scheduled = Timing(event);
    const std::string kind = event.at("event").get<std::string>();
    if (kind == "otherProgramRamp") {
        scheduled.event = OtherProgramRamp{AdapterOf(event, displays), RampOf(event)};
    } else if (kind == "rampReset") {
        scheduled.event = RampReset{};
    } else if (kind == "powerCycle") {
        scheduled.event = MonitorPowerCycle{MonitorOf(event, displays)};
    } else if (kind == "plugIn") {
        scheduled.event = MonitorPlugIn{AdapterOf(event, displays)};
    } else if (kind == "ddcciSilence") {
        scheduled.event = DdcCiSilence{MonitorOf(event, displays), Duration(event, "for"),
                                       WholeNumber(event, "error", kErrorI2cTransmitting)};
    } else if (kind == "unplug") {
        const std::wstring adapter = AdapterOf(event, displays);
        scheduled.event = MonitorUnplug{adapter};
        if (event.contains("for")) {
            const milliseconds away = Duration(event, "for");
            if (scheduled.every && away >= *scheduled.every) {
                Refuse("for: a repeating unplug must be plugged back within its period");
            }
            events.push_back(
                {MonitorPlugIn{adapter}, scheduled.at + away, scheduled.every, scheduled.count});
        }
    } else {
        Refuse("event \"" + kind + "\" is unknown");
    }
    events.push_back(std::move(scheduled));
}

void Apply(DisplayModel& displays, const DisplayEvent& event, milliseconds at) {
    std::visit(Overloaded{
                   [&](const OtherProgramRamp& e) {
                       displays.LoadRamp(e.adapter, e.ramp, RampLoader::OtherProgram);
                   },
                   [&](const RampReset&) { displays.ResetRamps(); },
                   [&](const MonitorPowerCycle& e) { displays.PowerCycle(e.monitor); },
                   [&](const MonitorUnplug& e) { displays.Unplug(e.adapter); },
                   [&](const MonitorPlugIn& e) { displays.PlugIn(e.adapter); },
                   [&](const DdcCiSilence& e) {
                       displays.SilenceDdcCi(e.monitor, at + e.length, e.error);
                   },
               },
               event);
}

}  // namespace

GammaRamp RampOfGains(const std::array<double, 3>& gains) {
    GammaRamp ramp = IdentityRamp();
    const std::size_t entries = ramp.size() / gains.size();
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = static_cast<WORD>(std::lround(ramp[i] * gains[i / entries]));
    }
    return ramp;
}

std::vector<ScheduledDisplayEvent> LoadDisplayEvents(const nlohmann::json& events,
                                                     const DisplayModel& displays) {
    if (!events.is_array()) {
        Refuse("not a list of events");
    }
    std::vector<ScheduledDisplayEvent> loaded;
    for (const auto& event : events) {
        LoadEvent(event, displays, loaded);
    }
    return loaded;
}

void DisplayEvents::Schedule(ScheduledDisplayEvent event) {
    std::lock_guard lock(mutex_);
    if (event.count != 0u) {
        pending_.push_back(std::move(event));
    }
}

void DisplayEvents::ApplyDue(DisplayModel& displays, milliseconds now) {
    std::lock_guard lock(mutex_);
    for (;;) {
        // The first of equals: events due together happen in the order given.
        const auto next =
            std::min_element(pending_.begin(), pending_.end(),
                             [](const auto& a, const auto& b) { return a.at < b.at; });
        if (next == pending_.end() || next->at > now) {
            return;
        }
        Apply(displays, next->event, next->at);
        if (next->every && (!next->count || --*next->count > 0)) {
            next->at += *next->every;
        } else {
            pending_.erase(next);
        }
    }
}

std::size_t DisplayEvents::Pending() const {
    std::lock_guard lock(mutex_);
    return pending_.size();
}

}  // namespace sim
