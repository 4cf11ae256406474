// What `tintwell lut` does on the machine rather than on a file: a gamut
// mode's factory table into the Intel driver, the identity table that
// switches it off, and the panel the tables are checked against.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>

#include "lut_block.h"

namespace sim {
struct FeatureDataCall;
}

namespace tintwell_cli {

int ApplyLut(std::uint32_t mode, std::ostream& out, std::ostream& err);
int ResetLut(std::ostream& out, std::ostream& err);

// The panel identity the library reads from the machine's EDID, or nothing
// (with the reason on `err`).
std::optional<lut_block::PanelIdentity> MachinePanel(std::ostream& err);

// On the simulated machine: one line for a driver call, what was loaded, for
// which device, and where the table sends pure red and white.
void PrintDriverCall(std::ostream& out, const sim::FeatureDataCall& call);

}  // namespace tintwell_cli
