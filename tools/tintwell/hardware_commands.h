// The `info` and `temperature` commands. Each writes its answer to `out`, its
// complaints to `err`, and returns the process exit code.
#pragma once

#include <iosfwd>
#include <string>

namespace tintwell_cli {

struct TemperatureArguments {
    std::string road;
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
    unsigned int level = 0;
    double ratio = 1.0;
    bool json = false;
};

// With `json`: {"displayType", "displayTypeName", "deviceType", "desktop",
// "physicalMonitors", "makersMonitor", "monitorId" (null when none)}.
int PrintInfo(bool json, std::ostream& out);
int ApplyTemperature(const TemperatureArguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace tintwell_cli
