#include "hardware_commands.h"

#include <climits>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "display_type.h"
#include "json_text.h"
#include "log_watch.h"
#include "settings_commands.h"
#include "tintwell/tintwell.h"

namespace tintwell_cli {

namespace {

// GetDeviceType fills a buffer of at least this size.
constexpr std::size_t kDeviceTypeBuffer = 1024;

std::string_view YesNo(bool value) {
    return value ? "yes" : "no";
}

using RoadFunction = int (*)(float, float, float, unsigned int, double);

// A front-end brackets the AMD road with loading and releasing ADL.
int SetTemperatureWithAdl(float r, float g, float b, unsigned int level, double ratio) {
    InitAdlGamut();
    const int result = SetTemperatureForAMD(r, g, b, level, ratio);
    UninitAdlGamut();
    return result;
}

const std::map<std::string_view, RoadFunction>& Roads() {
    static const std::map<std::string_view, RoadFunction> roads = {
        {"intel", &SetTemperatureForIntel},
        {"nvidia", &SetTemperatureForNvidia},
        {"desktop", &SetTemperatureForDesktopComputer},
        {"amd", &SetTemperatureWithAdl},
    };
    return roads;
}

}  // namespace

int PrintInfo(bool json, std::ostream& out) {
    const int displayType = GetDisplayType();
    char deviceType[kDeviceTypeBuffer] = {};
    GetDeviceType(deviceType);
    const bool desktop = IsDesktopComputer();
    const int monitors = GetPhyMonitorCount();
    const bool makersMonitor = HaveOrvMonitor();
    // InitMonitorId stores the main adapter's Intel device id when it finds one.
    InitMonitorId();
    const int id = GetMonitorId(INT_MIN);
    const std::string idText = id == INT_MIN ? "" : std::to_string(id);
    if (json) {
        out << R"({"displayType": )" << displayType << R"(, "displayTypeName": ")"
            << display_type::Name(displayType) << R"(", "deviceType": ")" << Escaped(deviceType)
            << R"(", "desktop": )" << JsonBool(desktop) << R"(, "physicalMonitors": )" << monitors
            << R"(, "makersMonitor": )" << JsonBool(makersMonitor) << R"(, "monitorId": )"
            << (idText.empty() ? "null" : idText) << "}\n";
        return kExitSuccess;
    }
    out << "display type: " << displayType << " (" << display_type::Name(displayType) << ")\n"
        << "device type: " << (deviceType[0] != '\0' ? deviceType : "(none)") << "\n"
        << "desktop computer: " << YesNo(desktop) << "\n"
        << "physical monitors: " << monitors << "\n"
        << "maker's monitor attached: " << YesNo(makersMonitor) << "\n"
        << "main adapter Intel device id (stored MonitorId): "
        << (idText.empty() ? "(none)" : idText) << "\n";
    return kExitSuccess;
}

int ApplyTemperature(const TemperatureArguments& arguments, std::ostream& out, std::ostream& err) {
    const auto road = Roads().find(arguments.road);
    if (road == Roads().end()) {
        err << "unknown road '" << arguments.road << "'; use intel, nvidia, desktop or amd\n";
        return kExitUsage;
    }
    const LogWatch log;
    const int result =
        road->second(arguments.r, arguments.g, arguments.b, arguments.level, arguments.ratio);
    const std::vector<std::string> complaints = log.Complaints();
    if (arguments.json) {
        out << R"({"road": ")" << arguments.road << R"(", "result": )" << result << R"(, "log": )"
            << JsonArray(complaints) << "}\n";
    } else {
        out << "result: " << result << "\n";
        for (const std::string& line : complaints) {
            out << line << '\n';
        }
    }
    return result == 0 ? kExitSuccess : kExitLibraryFailure;
}

}  // namespace tintwell_cli
