// On the simulated machine the tool shares the library's code and machine: it
// asks the library's own profile check, and reads back what a switch did.
#include <sstream>

#include "colorfield/color_field.h"
#include "gamut_machine.h"
#include "lut_machine.h"
#include "sim/color_model.h"
#include "sim/display_model.h"
#include "sim/intel_driver_model.h"
#include "sim/machine.h"

namespace tintwell_cli {

namespace {

constexpr std::size_t kRampEntries = 256;

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

sim::Machine& Machine() {
    return sim::Machine::Current();
}

}  // namespace

struct MachineTrace::Marks {
    std::size_t installed = Machine().Colors().InstalledProfiles().size();
    std::size_t associations = Machine().Colors().AssociationHistory().size();
    std::size_t icm = Machine().Colors().IcmCalls().size();
    std::size_t ramps = Machine().Displays().RampHistory().size();
    std::size_t vcp = Machine().Displays().VcpWrites().size();
    std::size_t saves = Machine().Displays().SettingsSaves().size();
    std::size_t driver = Machine().IntelDriver().FeatureDataCalls().size();
};

std::optional<int> CheckIccFile(const std::string& iccPath, const std::string& digestPath) {
    return ColorField::Instance().CheckIsIccFileNormal(iccPath, digestPath);
}

MachineTrace::MachineTrace() : marks_(std::make_unique<Marks>()) {}
MachineTrace::~MachineTrace() = default;

std::vector<std::string> MachineTrace::Lines() const {
    std::vector<std::string> lines;
    const auto installed = Machine().Colors().InstalledProfiles();
    for (std::size_t n = marks_->installed; n < installed.size(); ++n) {
        lines.push_back("install " + Narrow(installed[n]));
    }
    const auto icm = Machine().Colors().IcmCalls();
    for (std::size_t n = marks_->icm; n < icm.size(); ++n) {
        const bool mode = icm[n].kind == sim::IcmCall::Kind::SetIcmMode;
        lines.push_back((mode ? "icm mode " + std::to_string(icm[n].mode)
                              : "icm profile " + Narrow(icm[n].profile)) +
                        " on " + Narrow(icm[n].target) + ": " + Outcome(icm[n].accepted));
    }
    const auto associations = Machine().Colors().AssociationHistory();
    for (std::size_t n = marks_->associations; n < associations.size(); ++n) {
        const auto& event = associations[n];
        const bool associate = event.change == sim::AssociationChange::Associate;
        lines.push_back(std::string(associate ? "associate " : "disassociate ") +
                        Narrow(event.profile) + (associate ? " with " : " from ") +
                        Narrow(event.device) + ": " + Outcome(event.accepted));
    }
    const auto ramps = Machine().Displays().RampHistory();
    for (std::size_t n = marks_->ramps; n < ramps.size(); ++n) {
        lines.push_back("ramp " + Narrow(ramps[n].adapter) +
                        ": entry 1 = " + std::to_string(ramps[n].ramp[1]) +
                        ", entry 255 = " + std::to_string(ramps[n].ramp[kRampEntries - 1]));
    }
    const auto vcp = Machine().Displays().VcpWrites();
    for (std::size_t n = marks_->vcp; n < vcp.size(); ++n) {
        lines.push_back("vcp " + PhysicalMonitorName(vcp[n].monitor) + " code " +
                        std::to_string(vcp[n].code) + " = " + std::to_string(vcp[n].value) + ": " +
                        Outcome(vcp[n].accepted));
    }
    const auto saves = Machine().Displays().SettingsSaves();
    for (std::size_t n = marks_->saves; n < saves.size(); ++n) {
        lines.push_back("save " + PhysicalMonitorName(saves[n].monitor) + ": " +
                        Outcome(saves[n].accepted));
    }
    const auto driver = Machine().IntelDriver().FeatureDataCalls();
    for (std::size_t n = marks_->driver; n < driver.size(); ++n) {
        std::ostringstream line;
        PrintDriverCall(line, driver[n]);
        std::string text = line.str();
        text.pop_back();
        lines.push_back("driver " + text);
    }
    return lines;
}

}  // namespace tintwell_cli
