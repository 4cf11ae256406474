#include "lut_machine.h"
#include "settings_commands.h"
#include "tintwell/tintwell.h"

namespace tintwell_cli {

// A mode's table reaches the driver through the gamut switch, which the DLL
// does not export yet.
int ApplyLut(std::uint32_t, std::ostream&, std::ostream& err) {
    err << "tintwell: `lut apply` needs the simulated machine; run the Linux build\n";
    return kExitUsage;
}

// The DLL exports no EDID reader (see `tintwell edid`).
std::optional<lut_block::PanelIdentity> MachinePanel(std::ostream& err) {
    err << "tintwell: `--machine` needs the library's EDID reader, which TintwellDll does not "
           "export; run the Linux build\n";
    return std::nullopt;
}

int ResetLut(std::ostream& out, std::ostream& err) {
    if (ResetDisplayerLut3D() != 0) {
        err << "tintwell: the library did not load the identity table; the log names the step "
               "that failed\n";
        return kExitLibraryFailure;
    }
    out << "identity table loaded and restored\n";
    return kExitSuccess;
}

}  // namespace tintwell_cli
