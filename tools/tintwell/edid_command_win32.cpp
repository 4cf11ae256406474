#include <ostream>

#include "edid_command.h"
#include "settings_commands.h"

namespace tintwell_cli {

// The DLL exports no EDID parser, and the tool is a client of the exports
// only; answering with a parser of its own would not be the library's answer.
int RunEdid(const EdidArguments&, std::ostream&, std::ostream& err) {
    err << "tintwell: `edid` needs the library's EDID parser, which TintwellDll does not "
           "export; run the Linux build\n";
    return kExitUsage;
}

}  // namespace tintwell_cli
