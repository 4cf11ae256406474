// Desktop machines with displays, the monitors behind them and their DDC/CI
// answers, and what tests read back from them.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "display_test_machines.h"
#include "sim/display_model.h"

namespace tw_test {

inline constexpr int kDesktopChassis = 3;
// How long a test waits for the worker before it reports a hang; the
// virtual clock makes a pass take microseconds.
inline constexpr std::chrono::seconds kPatience{20};

inline nlohmann::json Physical(const std::string& description, bool invalidHandle = false) {
    return {{"description", description}, {"invalidHandle", invalidHandle}};
}

// An adapter on the desktop named \\.\DISPLAY<number>, with its monitor
// devices and the physical monitors DDC/CI reaches behind it.
inline nlohmann::json Display(int number, std::vector<nlohmann::json> monitors,
                              std::vector<nlohmann::json> physicalMonitors) {
    nlohmann::json adapter =
        Adapter("AMD Radeon RX 6600", kOnDesktop, std::move(monitors), "PCI\\VEN_1002&DEV_73FF");
    adapter["deviceName"] = "\\\\.\\DISPLAY" + std::to_string(number);
    adapter["physicalMonitors"] = std::move(physicalMonitors);
    return adapter;
}

inline void InstallDesktop(std::vector<nlohmann::json> displays) {
    InstallMachine(std::move(displays), {{"chassisType", kDesktopChassis}});
}

inline sim::DisplayModel& Displays() {
    return sim::Machine::Current().Displays();
}

// Each gain write as its display (without the \\.\ prefix), physical
// monitor index, gain type and value: "DISPLAY1#0 R100".
inline std::vector<std::string> GainLog() {
    constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
    std::vector<std::string> log;
    for (const auto& write : Displays().GainWrites()) {
        std::string display;
        for (wchar_t c : std::wstring_view(write.monitor.display).substr(kDevicePrefix.size())) {
            display += static_cast<char>(c);
        }
        log.push_back(display + "#" + std::to_string(write.monitor.index) + " " +
                      "RGB"[write.gainType] + std::to_string(write.value));
    }
    return log;
}

// Waits until at least `count` gains have been written.
inline bool AwaitGainWrites(std::size_t count) {
    return Displays().WaitForGainWrites(count, kPatience);
}

}  // namespace tw_test
