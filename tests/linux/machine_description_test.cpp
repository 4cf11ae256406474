// Numbers in a machine description: a whole number is taken however it is
// written, and one with a fraction, outside its type or not a number at all
// is refused with an exception, where a cast would have been undefined or
// cut it to another value. So are events that name what is not there or
// could not happen.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/display_events.h"
#include "sim/machine.h"
#include "sim/system_model.h"

namespace tw_test {

namespace {

struct DescriptionCase {
    std::string description;
    bool loads;
    std::function<bool(sim::Machine&)> holds = {};
};

std::vector<DescriptionCase> DescriptionCases() {
    const auto chassis = [](BYTE type) {
        return [type](sim::Machine& machine) { return machine.System().ChassisType() == type; };
    };
    const auto pending = [](std::size_t events) {
        return [events](sim::Machine& machine) { return machine.Events().Pending() == events; };
    };
    return {
        {R"({"system": {"chassisType": 3}})", true, chassis(3)},
        {R"({"system": {"chassisType": 3.0}})", true, chassis(3)},
        {R"({"system": {"chassisType": 2e1}})", true, chassis(20)},
        {R"({"system": {"chassisType": 255}})", true, chassis(255)},
        {R"({"system": {"chassisType": 256}})", false},
        {R"({"system": {"chassisType": 10555.4}})", false},
        {R"({"system": {"chassisType": -1}})", false},
        {R"({"system": {"chassisType": 1e79}})", false},
        {R"({"adl": {"createResult": 2.5}})", false},
        {R"({"adl": {"displays": [{"gamut": {"whitePoint": [3127, 1e40]}}]}})", false},
        {R"({"failures": [{"call": "CreateDCW", "error": 5.5e30}]})", false},
        {R"({"intelDriver": {"devices": {"panel": 4294967296}}})", false},
        {R"({"intelDriver": {"gammaStatus": -1e300}})", false},
        {R"({"displays": {"adapters": [{"stateFlags": -1}]}})", false},
        {R"({"displays": {"adapters": [{"currentSettings": {"x": 3.3e122}}]}})", false},
        {R"({"displays": {"adapters": [{"registrySettings": {"width": 1920.5}}]}})", false},
        {R"({"firmware": {"dlut": {"size": 1e300}}})", false},
        {R"({"firmware": {"dlut": {"make": {"modes": [1, 2.5]}}}})", false},
        {R"({"firmware": {"biosInfo": {"status": 256}}})", false},
        {R"({"firmware": {"biosInfo": {"value": -1}}})", false},
        {R"({"firmware": {"hal": {"refuseClasses": ["x"]}}})", false},
        {R"({"firmware": {"dpStatus": {"value": 9.22e18}}})", false},
        {R"({"displays": {"adapters": [{"physicalMonitors": [{"factoryGains": [1, 2]}]}]}})",
         false},
        {R"({"displays": {"adapters": [{"physicalMonitors": [{"factoryGains": 7}]}]}})", false},
        {R"({"displays": {"adapters": [{"physicalMonitors": [{"factoryGains": [1, 2, -3]}]}]}})",
         false},
        {R"({"displays": {"adapters": [{"physicalMonitors": [{"factoryGains": [1, 2, 101]}]}]}})",
         false},
        {R"({"events": {"at": 1, "event": "rampReset"}})", false},
        {R"({"events": [{"event": "rampReset"}]})", false},
        {R"({"events": [{"at": -5, "event": "rampReset"}]})", false},
        {R"({"events": [{"at": 5, "event": "sunset"}]})", false},
        {R"({"events": [{"at": 5, "every": 0, "event": "rampReset"}]})", false},
        {R"({"events": [{"at": 5, "count": 2, "event": "rampReset"}]})", false},
        {R"({"events": [{"at": 5, "every": 9, "count": 0, "event": "rampReset"}]})", false},
        {R"({"events": [{"at": 5, "event": "plugIn", "display": "\\\\.\\DISPLAY1"}]})", false},
        {R"({"displays": {"adapters": [{}]},
            "events": [{"at": 5, "event": "powerCycle", "display": "\\\\.\\DISPLAY1"}]})",
         false},
        {R"({"displays": {"adapters": [{}]}, "events": [{"at": 5, "event": "otherProgramRamp",
            "display": "\\\\.\\DISPLAY1", "gains": [1, 1.5, 1]}]})",
         false},
        {R"({"displays": {"adapters": [{}]}, "events": [{"at": 5, "event": "otherProgramRamp",
            "display": "\\\\.\\DISPLAY1", "ramp": [1, 2, 3]}]})",
         false},
        {R"({"displays": {"adapters": [{}]}, "events": [{"at": 5, "every": 10, "for": 10,
            "event": "unplug", "display": "\\\\.\\DISPLAY1"}]})",
         false},
        {R"({"displays": {"adapters": [{}]}, "events": [{"at": 5, "every": 10, "for": 9,
            "event": "unplug", "display": "\\\\.\\DISPLAY1"}]})",
         true, pending(2)},
    };
}

}  // namespace

TEST(MachineDescription, WholeNumbersAreTakenAndOthersRefused) {
    for (const DescriptionCase& c : DescriptionCases()) {
        SCOPED_TRACE(c.description);
        const nlohmann::json description = nlohmann::json::parse(c.description);
        if (!c.loads) {
            EXPECT_THROW(sim::Machine::FromJson(description), std::exception);
            continue;
        }
        const auto machine = sim::Machine::FromJson(description);
        EXPECT_TRUE(c.holds(*machine));
    }
}

}  // namespace tw_test
