#include <ostream>

#include "adl_command.h"
#include "settings_commands.h"

namespace tintwell_cli {

// The simulated machine's ADL lives inside the library, out of the tool's reach.
int ListAdl(std::ostream&, std::ostream& err) {
    err << "ADL is only reachable on Windows\n";
    return kExitLibraryFailure;
}

}  // namespace tintwell_cli
