#include <ostream>

#include "nature_command.h"
#include "settings_commands.h"

namespace tintwell_cli {

// A scene pushes sensor readings and reads back what reached the hardware,
// which only the simulated machine allows.
int RunNature(const NatureArguments&, std::ostream&, std::ostream& err) {
    err << "tintwell: `nature` needs the simulated machine; run the Linux build\n";
    return kExitUsage;
}

}  // namespace tintwell_cli
