#include "hardware_commands.h"

#include <climits>
#include <map>
#include <ostream>
#include <string_view>

#include "settings_commands.h"
#include "tintwell/tintwell.h"

namespace tintwell_cli {

namespace {

// GetDeviceType fills a buffer of at least this size.
constexpr std::size_t kDeviceTypeBuffer = 1024;

std::string_view DisplayTypeName(int type) {
    switch (type) {
        case 0:
            return "Intel graphics";
        case 1:
            return "AMD graphics on a TALVIK device";
        case 2:
            return "MORVEN device";
        case 3:
            return "AMD graphics";
        default:
            return "no Intel or AMD graphics found";
    }
}

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

int PrintInfo(std::ostream& out) {
    const int displayType = GetDisplayType();
    char deviceType[kDeviceTypeBuffer] = {};
    GetDeviceType(deviceType);
    out << "display type: " << displayType << " (" << DisplayTypeName(displayType) << ")\n"
        << "device type: " << (deviceType[0] != '\0' ? deviceType : "(none)") << "\n"
        << "desktop computer: " << YesNo(IsDesktopComputer()) << "\n"
        << "physical monitors: " << GetPhyMonitorCount() << "\n"
        << "maker's monitor attached: " << YesNo(HaveOrvMonitor()) << "\n";
    // InitMonitorId stores the main adapter's Intel device id when it finds one.
    InitMonitorId();
    const int id = GetMonitorId(INT_MIN);
    out << "main adapter Intel device id (stored MonitorId): ";
    if (id == INT_MIN) {
        out << "(none)\n";
    } else {
        out << id << "\n";
    }
    return kExitSuccess;
}

int ApplyTemperature(const TemperatureArguments& arguments, std::ostream& out, std::ostream& err) {
    const auto road = Roads().find(arguments.road);
    if (road == Roads().end()) {
        err << "unknown road '" << arguments.road << "'; use intel, nvidia, desktop or amd\n";
        return kExitUsage;
    }
    const int result =
        road->second(arguments.r, arguments.g, arguments.b, arguments.level, arguments.ratio);
    out << "result: " << result << "\n";
    return result == 0 ? kExitSuccess : kExitLibraryFailure;
}

}  // namespace tintwell_cli
