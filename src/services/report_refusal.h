#pragma once

namespace services {

// True when the machine refuses the next data report: never on Windows; on
// the simulated machine when a test told "EventDataReport::SendMsg" to fail.
bool MachineRefusesReport();

}  // namespace services
