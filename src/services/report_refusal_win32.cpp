#include "services/report_refusal.h"

namespace services {

bool MachineRefusesReport() {
    return false;
}

}  // namespace services
