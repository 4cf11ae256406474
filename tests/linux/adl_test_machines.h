// Machines with AMD graphics: the ADL module in the system directory, its
// adapters and the displays each one lists, described the way a machine file
// describes them.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "display_test_machines.h"
#include "sim/adl_model.h"

namespace tw_test {

inline constexpr int kConnectedAndMapped = 3;

inline nlohmann::json AdlAdapter(int index) {
    return {{"index", index}, {"name", "AMD Radeon(TM) Graphics"}};
}

// A display listed by the adapter it belongs to, offering a custom white point.
inline nlohmann::json AdlDisplay(int adapter, int display, int infoValue = kConnectedAndMapped) {
    return {{"logicalAdapterIndex", adapter},
            {"logicalDisplayIndex", display},
            {"infoValue", infoValue}};
}

inline nlohmann::json AdlPart(std::vector<nlohmann::json> adapters,
                              std::vector<nlohmann::json> displays,
                              const std::string& module = "atiadlxx.dll") {
    return {{"module", module}, {"adapters", adapters}, {"displays", displays}};
}

inline void InstallAdl(const nlohmann::json& adl) {
    InstallDescription({{"name", "AMD laptop"}, {"adl", adl}});
}

// One adapter with one mapped display.
inline void InstallSingleDisplayAmdMachine() {
    InstallAdl(AdlPart({AdlAdapter(0)}, {AdlDisplay(0, 0)}));
}

inline sim::AdlModel& Adl() {
    return sim::Machine::Current().Adl();
}

inline bool DebugOutputHas(const std::wstring& line) {
    const auto output = sim::Machine::Current().DebugOutput();
    return std::find(output.begin(), output.end(), line) != output.end();
}

}  // namespace tw_test
