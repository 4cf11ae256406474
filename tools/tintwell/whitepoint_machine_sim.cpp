// On the simulated machine the tool shares the library's code and machine:
// it reads the record OperateColor validated, and reads back the hardware
// library calls and gamut changes that applying it made.
#include <array>
#include <cstring>
#include <string>

#include "json_text.h"
#include "sim/adl_model.h"
#include "sim/firmware_model.h"
#include "sim/machine.h"
#include "sim/system_model.h"
#include "temperature/operate_color.h"
#include "tintwell/tintwell.h"
#include "whitepoint_machine.h"

namespace tintwell_cli {

namespace {

// The hardware library's class that takes channel gains: red, green and
// blue gain, blue-protect level and ratio, five floats.
constexpr int kChannelGainsClass = 6;
constexpr std::size_t kChannelGainsCount = 5;

sim::Machine& Machine() {
    return sim::Machine::Current();
}

RecordInUse Copy(const WhitePointAdjustInfo& info, std::string text) {
    return {std::move(text),
            info.header1,
            info.header2,
            {info.whiteX, info.whiteY, info.redX, info.redY, info.greenX, info.greenY, info.blueX,
             info.blueY},
            info.value9,
            info.value10,
            info.serialNumber,
            info.manufacturerId,
            info.year,
            info.week,
            info.checksum,
            info.trailing};
}

std::string Point(const adl::Point& point) {
    return "(" + std::to_string(point.x) + ", " + std::to_string(point.y) + ")";
}

std::string HardwareLine(const sim::HalSetInformationCall& call) {
    std::string line = "hardware class " + std::to_string(call.informationClass) + ": ";
    std::array<float, kChannelGainsCount> values{};
    if (call.informationClass == kChannelGainsClass && call.data.size() == sizeof values) {
        std::memcpy(values.data(), call.data.data(), sizeof values);
        line += "gains " + Shortest(values[0]) + " " + Shortest(values[1]) + " " +
                Shortest(values[2]) + ", blue protect level " + Shortest(values[3]) + " ratio " +
                Shortest(values[4]);
    } else {
        line += std::to_string(call.data.size()) + " bytes";
    }
    return line + (call.accepted ? ", taken" : ", refused");
}

std::string GamutLine(const sim::AdlGamutSet& set) {
    const adl::GamutData& gamut = set.gamut;
    return "gamut adapter " + std::to_string(set.adapter) + " display " +
           std::to_string(set.display) + " reference " + std::to_string(set.reference) +
           ": feature " + std::to_string(gamut.feature) + ", predefined gamut " +
           std::to_string(gamut.predefinedGamut) + ", predefined white point " +
           std::to_string(gamut.predefinedWhitePoint) + ", white " + Point(gamut.customWhitePoint) +
           ", red " + Point(gamut.customGamut.red) + ", green " + Point(gamut.customGamut.green) +
           ", blue " + Point(gamut.customGamut.blue) +
           (set.result == adl::kOk ? ", taken" : ", refused (" + std::to_string(set.result) + ")");
}

}  // namespace

std::optional<WhitePointReading> ReadWhitePoint(const std::optional<std::string>& goldenText) {
    OperateColor& color = OperateColor::Instance();
    WhitePointReading reading;
    reading.ready = InitWhitePointInfo() == 0 && color.IsWhitePointReady();
    reading.golden = color.IsWhitePointFallback();
    if (const WhitePointAdjustInfo* info = color.WhitePointInfo()) {
        reading.record = Copy(
            *info, reading.golden ? goldenText.value_or("") : Machine().System().WhitePointText());
    }
    reading.panel = {color.GetLcdVendor(), color.GetLcdSerialNumber(), color.GetLcdYear(),
                     color.GetLcdWeek()};
    return reading;
}

std::filesystem::path HostPath(std::wstring_view windowsPath) {
    return Machine().HostPath(windowsPath);
}

struct WhitePointTrace::Marks {
    std::size_t hardware = Machine().Firmware().HalSetInformationCalls().size();
    std::size_t gamuts = Machine().Adl().GamutSets().size();
};

WhitePointTrace::WhitePointTrace() : marks_(std::make_unique<Marks>()) {}
WhitePointTrace::~WhitePointTrace() = default;

std::vector<std::string> WhitePointTrace::Lines() const {
    std::vector<std::string> lines;
    const auto hardware = Machine().Firmware().HalSetInformationCalls();
    for (std::size_t n = marks_->hardware; n < hardware.size(); ++n) {
        lines.push_back(HardwareLine(hardware[n]));
    }
    const auto gamuts = Machine().Adl().GamutSets();
    for (std::size_t n = marks_->gamuts; n < gamuts.size(); ++n) {
        lines.push_back(GamutLine(gamuts[n]));
    }
    return lines;
}

}  // namespace tintwell_cli
