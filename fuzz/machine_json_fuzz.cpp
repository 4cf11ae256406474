// Any bytes as a machine description: the simulated machine is made from any
// JSON document or refuses it with an exception, never with a crash, and a
// machine made answers for its displays and monitors after its events.
#include <chrono>
#include <cstdint>
#include <exception>
#include <string_view>

#include <nlohmann/json.hpp>

#include "sim/display_events.h"
#include "sim/display_model.h"
#include "sim/machine.h"

// Long enough for a description's events to fire, short enough that one
// repeating every millisecond stays quick.
constexpr std::chrono::milliseconds kEventHorizon{10000};

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const nlohmann::json description = nlohmann::json::parse(text, nullptr, false);
    if (description.is_discarded()) {
        return 0;
    }
    try {
        const auto machine = sim::Machine::FromJson(description);
        machine->Events().ApplyDue(machine->Displays(), kEventHorizon);
        machine->Displays().Adapters();
        machine->Displays().MonitorsInPnpOrder();
    } catch (const std::exception&) {
        return 0;
    }
    return 0;
}
