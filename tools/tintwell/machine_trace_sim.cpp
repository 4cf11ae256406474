// On the simulated machine the tool shares the library's machine, whose
// models record every call that reached the hardware.
#include <array>
#include <cstring>
#include <sstream>

#include "json_text.h"
#include "lut_machine.h"
#include "machine_trace.h"
#include "sim/adl_model.h"
#include "sim/color_model.h"
#include "sim/display_model.h"
#include "sim/firmware_model.h"
#include "sim/intel_driver_model.h"
#include "sim/machine.h"

namespace tintwell_cli {

namespace {

constexpr std::size_t kRampEntries = 256;
// The hardware library's class that takes channel gains: red, green and
// blue gain, blue-protect level and ratio, five floats.
constexpr int kChannelGainsClass = 6;
constexpr std::size_t kChannelGainsCount = 5;
constexpr std::array<const char*, 3> kGainNames{"red", "green", "blue"};

sim::Machine& Machine() {
    return sim::Machine::Current();
}

// The colour model takes up what earlier runs installed and associated on
// the machine's first colour call; the marks come after that, so those
// records are not told again as this command's.
sim::Machine& AttachedMachine() {
    sim::Machine& machine = Machine();
    machine.Colors().AttachColorDirectory(machine.HostPath(sim::ColorModel::ColorDirectory()));
    return machine;
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) {
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return narrow;
}

const char* Outcome(bool accepted) {
    return accepted ? "taken" : "refused";
}

std::string PhysicalMonitorName(const sim::PhysicalMonitorRef& monitor) {
    return Narrow(monitor.display) + "#" + std::to_string(monitor.index);
}

// Entry 1 of red tells a ramp's slope at black; the last entry of each
// channel is that channel's gain.
template <typename Ramp>
std::string RampEnds(const Ramp& ramp) {
    return "entry 1 = " + std::to_string(ramp[1]) +
           ", entry 255 = " + std::to_string(ramp[kRampEntries - 1]) + " red, " +
           std::to_string(ramp[2 * kRampEntries - 1]) + " green, " +
           std::to_string(ramp[3 * kRampEntries - 1]) + " blue";
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

std::string Point(const adl::Point& point) {
    return "(" + std::to_string(point.x) + ", " + std::to_string(point.y) + ")";
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

std::string DriverLine(const sim::FeatureDataCall& call) {
    std::ostringstream line;
    PrintDriverCall(line, call);
    std::string text = line.str();
    text.pop_back();
    return "driver " + text;
}

std::string DriverRampLine(const sim::GammaRampCall& call) {
    const bool taken = SUCCEEDED(call.result) && call.status == 0;
    return "driver ramp device " + std::to_string(call.deviceId) + ": " +
           (call.ramp.size() == 3 * kRampEntries ? RampEnds(call.ramp) + ", " : "") +
           Outcome(taken);
}

// The library's own loads go unmarked: they are what a trace is read for.
std::string LoaderMark(sim::RampLoader loader) {
    switch (loader) {
        case sim::RampLoader::OtherProgram:
            return " (another program)";
        case sim::RampLoader::Windows:
            return " (Windows)";
        case sim::RampLoader::ThisProcess:
            break;
    }
    return "";
}

// Appends a line for each record past `mark`.
template <typename Records, typename Format>
void Append(std::vector<std::string>& lines, const Records& records, std::size_t mark,
            Format format) {
    for (std::size_t n = mark; n < records.size(); ++n) {
        lines.push_back(format(records[n]));
    }
}

}  // namespace

struct MachineTrace::Marks {
    std::size_t installed = AttachedMachine().Colors().InstalledProfiles().size();
    std::size_t icm = Machine().Colors().IcmCalls().size();
    std::size_t associations = Machine().Colors().AssociationHistory().size();
    std::size_t ramps = Machine().Displays().RampHistory().size();
    std::size_t gains = Machine().Displays().GainWrites().size();
    std::size_t vcp = Machine().Displays().VcpWrites().size();
    std::size_t saves = Machine().Displays().SettingsSaves().size();
    std::size_t hardware = Machine().Firmware().HalSetInformationCalls().size();
    std::size_t gamuts = Machine().Adl().GamutSets().size();
    std::size_t driver = Machine().IntelDriver().FeatureDataCalls().size();
    std::size_t driverRamps = Machine().IntelDriver().GammaRampCalls().size();
};

MachineTrace::MachineTrace() : marks_(std::make_unique<Marks>()) {}
MachineTrace::~MachineTrace() = default;

std::vector<std::string> MachineTrace::Lines() const {
    std::vector<std::string> lines;
    Append(lines, Machine().Colors().InstalledProfiles(), marks_->installed,
           [](const std::wstring& profile) { return "install " + Narrow(profile); });
    Append(lines, Machine().Colors().IcmCalls(), marks_->icm, [](const sim::IcmCall& call) {
        const bool mode = call.kind == sim::IcmCall::Kind::SetIcmMode;
        return (mode ? "icm mode " + std::to_string(call.mode)
                     : "icm profile " + Narrow(call.profile)) +
               " on " + Narrow(call.target) + ": " + Outcome(call.accepted);
    });
    Append(lines, Machine().Colors().AssociationHistory(), marks_->associations,
           [](const sim::AssociationEvent& event) {
               const bool associate = event.change == sim::AssociationChange::Associate;
               return std::string(associate ? "associate " : "disassociate ") +
                      Narrow(event.profile) + (associate ? " with " : " from ") +
                      Narrow(event.device) + ": " + Outcome(event.accepted);
           });
    Append(lines, Machine().Displays().RampHistory(), marks_->ramps, [](const sim::RampLoad& load) {
        return "ramp " + Narrow(load.adapter) + ": " + RampEnds(load.ramp) +
               LoaderMark(load.loader);
    });
    Append(lines, Machine().Displays().GainWrites(), marks_->gains,
           [](const sim::GainWrite& write) {
               return "gain " + PhysicalMonitorName(write.monitor) + " " +
                      kGainNames.at(static_cast<std::size_t>(write.gainType)) + " = " +
                      std::to_string(write.value) + ": " + Outcome(write.accepted);
           });
    Append(lines, Machine().Displays().VcpWrites(), marks_->vcp, [](const sim::VcpWrite& write) {
        return "vcp " + PhysicalMonitorName(write.monitor) + " code " + std::to_string(write.code) +
               " = " + std::to_string(write.value) + ": " + Outcome(write.accepted);
    });
    Append(lines, Machine().Displays().SettingsSaves(), marks_->saves,
           [](const sim::SettingsSave& save) {
               return "save " + PhysicalMonitorName(save.monitor) + ": " + Outcome(save.accepted);
           });
    Append(lines, Machine().Firmware().HalSetInformationCalls(), marks_->hardware, HardwareLine);
    Append(lines, Machine().Adl().GamutSets(), marks_->gamuts, GamutLine);
    Append(lines, Machine().IntelDriver().FeatureDataCalls(), marks_->driver, DriverLine);
    Append(lines, Machine().IntelDriver().GammaRampCalls(), marks_->driverRamps, DriverRampLine);
    return lines;
}

}  // namespace tintwell_cli
