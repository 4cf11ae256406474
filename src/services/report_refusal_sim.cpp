#include "services/report_refusal.h"

#include "sim/machine.h"

namespace services {

bool MachineRefusesReport() {
    return sim::Machine::Current().TakeFailure("EventDataReport::SendMsg").has_value();
}

}  // namespace services
