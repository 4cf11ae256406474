// The real machine keeps no record of what reached it.
#include "machine_trace.h"

namespace tintwell_cli {

struct MachineTrace::Marks {};

MachineTrace::MachineTrace() = default;
MachineTrace::~MachineTrace() = default;

std::vector<std::string> MachineTrace::Lines() const {
    return {};
}

}  // namespace tintwell_cli
