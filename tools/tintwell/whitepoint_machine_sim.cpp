// On the simulated machine the tool shares the library's code and machine:
// it reads the record OperateColor validated.
#include "sim/machine.h"
#include "sim/system_model.h"
#include "temperature/operate_color.h"
#include "tintwell/tintwell.h"
#include "whitepoint_machine.h"

namespace tintwell_cli {

namespace {

sim::Machine& Machine() {
    return sim::Machine::Current();
}

}  // namespace

std::optional<WhitePointReading> ReadWhitePoint(const std::optional<std::string>& goldenText) {
    OperateColor& color = OperateColor::Instance();
    WhitePointReading reading;
    reading.ready = InitWhitePointInfo() == 0 && color.IsWhitePointReady();
    reading.golden = color.IsWhitePointFallback();
    if (const auto info = color.WhitePointRecord()) {
        reading.record = RecordInUse{
            reading.golden ? goldenText.value_or("") : Machine().System().WhitePointText(), *info};
    }
    reading.panel = {color.GetLcdVendor(), color.GetLcdSerialNumber(), color.GetLcdYear(),
                     color.GetLcdWeek()};
    return reading;
}

std::filesystem::path HostPath(std::wstring_view windowsPath) {
    return Machine().HostPath(windowsPath);
}

}  // namespace tintwell_cli
