// The Windows tool holds only the exports: no export checks a profile on its
// own, and the real machine keeps no record of what reached it.
#include "gamut_machine.h"

namespace tintwell_cli {

struct MachineTrace::Marks {};

std::optional<int> CheckIccFile(const std::string&, const std::string&) {
    return std::nullopt;
}

MachineTrace::MachineTrace() = default;
MachineTrace::~MachineTrace() = default;

std::vector<std::string> MachineTrace::Lines() const {
    return {};
}

}  // namespace tintwell_cli
