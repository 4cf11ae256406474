// The demo changes what the screens show at every step; on a real machine
// the other commands do that one step at a time, when asked.
#include <ostream>

#include "demo_command.h"
#include "settings_commands.h"

namespace tintwell_cli {

int RunDemo(const DemoArguments&, std::ostream&, std::ostream& err) {
    err << "tintwell: the demo plays on the simulated machine of the Linux build; on Windows "
           "use the other commands, which act on this machine\n";
    return kExitUsage;
}

}  // namespace tintwell_cli
