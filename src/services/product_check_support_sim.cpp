// The device code name of the simulated machine.
#include "services/product_adapt_mgr.h"
#include "sim/machine.h"
#include "sim/system_model.h"

std::string ProductCheckSupport::GetDeviceTypeEx() {
    return sim::Machine::Current().System().DeviceCodeName();
}
