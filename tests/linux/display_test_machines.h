// Machines with chosen adapters, monitors and system identity, described the
// way a machine file describes them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/machine.h"

namespace tw_test {

inline constexpr DWORD kOnDesktop = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP;
inline constexpr DWORD kPrimary =
    DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | DISPLAY_DEVICE_PRIMARY_DEVICE;
inline constexpr DWORD kActiveAttached = DISPLAY_DEVICE_ACTIVE | DISPLAY_DEVICE_ATTACHED;

inline nlohmann::json Monitor(const std::string& deviceId, DWORD stateFlags = kActiveAttached) {
    return {{"deviceId", deviceId}, {"stateFlags", stateFlags}};
}

inline nlohmann::json Adapter(const std::string& deviceString, DWORD stateFlags,
                              std::vector<nlohmann::json> monitors = {},
                              const std::string& deviceId = "PCI\\VEN_8086&DEV_5917") {
    return {{"deviceString", deviceString},
            {"deviceId", deviceId},
            {"stateFlags", stateFlags},
            {"monitors", monitors}};
}

// Replaces the test's machine, keeping its root folder. Test machines keep
// virtual time unless their description says otherwise.
inline void InstallDescription(nlohmann::json description) {
    description.emplace("clock", "virtual");
    auto machine = sim::Machine::FromJson(description);
    machine->SetRoot(sim::Machine::Current().Root());
    sim::Machine::Install(std::move(machine));
}

inline void InstallMachine(std::vector<nlohmann::json> adapters,
                           nlohmann::json system = nlohmann::json::object()) {
    InstallDescription(nlohmann::json{{"displays", {{"adapters", adapters}}}, {"system", system}});
}

inline const char* const kPanelId =
    "MONITOR\\BOE0867\\{4d36e96e-e325-11ce-bfc1-08002be10318}\\0001";
inline const char* const kMakerMonitorId =
    "MONITOR\\ORV2016\\{4d36e96e-e325-11ce-bfc1-08002be10318}\\0001";

}  // namespace tw_test
