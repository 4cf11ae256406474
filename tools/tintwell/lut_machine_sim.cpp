// On the simulated machine the tool shares the library's code and machine,
// so it can switch a mode the way the gamut switch does and read back the
// driver calls that followed.
#include <cstring>
#include <string_view>
#include <vector>

#include "colorfield/lut_handle_3d.h"
#include "discovery/edid_registry.h"
#include "discovery/lcd_edid_parse.h"
#include "lut_machine.h"
#include "settings_commands.h"
#include "sim/intel_driver_model.h"
#include "sim/machine.h"
#include "tintwell/tintwell.h"

namespace tintwell_cli {

namespace {

constexpr std::size_t kDeviceIdWord = 9;
constexpr std::size_t kRestoreWord = 10;
constexpr std::uint32_t kComponent = 0x3FF;

std::uint32_t Word(const std::vector<BYTE>& bytes, std::size_t index) {
    std::uint32_t word = 0;
    if ((index + 1) * sizeof(word) <= bytes.size()) {
        std::memcpy(&word, bytes.data() + index * sizeof(word), sizeof(word));
    }
    return word;
}

void PrintComponents(std::ostream& out, std::uint32_t entry) {
    out << '(' << (entry >> 20 & kComponent) << ", " << (entry >> 10 & kComponent) << ", "
        << (entry & kComponent) << ')';
}

}  // namespace

void PrintDriverCall(std::ostream& out, const sim::FeatureDataCall& call) {
    const std::size_t entries = call.data.size() / sizeof(std::uint32_t);
    out << (Word(call.header, kRestoreWord) == 1 ? "restore" : "load") << " device "
        << Word(call.header, kDeviceIdWord) << ": " << entries << " entries";
    if (entries == LutHandle3D::kLutEntryCount) {
        out << ", red ";
        PrintComponents(out, Word(call.data, 16 * 289));
        out << ", white ";
        PrintComponents(out, Word(call.data, entries - 1));
    }
    out << (call.status == 0 && SUCCEEDED(call.result) ? ", taken\n" : ", refused\n");
}

namespace {

int Report(bool succeeded, std::size_t callsBefore, std::string_view refusal, std::ostream& out,
           std::ostream& err) {
    const auto calls = sim::Machine::Current().IntelDriver().FeatureDataCalls();
    for (std::size_t n = callsBefore; n < calls.size(); ++n) {
        PrintDriverCall(out, calls[n]);
    }
    if (!succeeded) {
        err << "tintwell: " << refusal << "; the log names the step that failed\n";
        return kExitLibraryFailure;
    }
    return kExitSuccess;
}

std::size_t DriverCalls() {
    return sim::Machine::Current().IntelDriver().FeatureDataCalls().size();
}

}  // namespace

int ApplyLut(std::uint32_t mode, std::ostream& out, std::ostream& err) {
    const std::size_t before = DriverCalls();
    const bool applied = LutHandle3D::Instance().SetDisplayerLut3D(mode);
    return Report(applied, before, "the library did not load the mode's table", out, err);
}

std::optional<lut_block::PanelIdentity> MachinePanel(std::ostream& err) {
    const auto edid = discovery::ReadEdidValue(discovery::EdidOwner::LutHandle3D);
    LcdEdidParse identity;
    if (!edid || !identity.ParseEdid(edid->data(), static_cast<unsigned int>(edid->size()))) {
        err << "tintwell: the library cannot read the panel's EDID; the log says why\n";
        return std::nullopt;
    }
    return lut_block::PanelIdentity{identity.GetVendor(), identity.GetSerialNumber(),
                                    identity.GetWeek(), identity.GetYear()};
}

int ResetLut(std::ostream& out, std::ostream& err) {
    const std::size_t before = DriverCalls();
    const bool reset = ResetDisplayerLut3D() == 0;
    return Report(reset, before, "the library did not load the identity table", out, err);
}

}  // namespace tintwell_cli
