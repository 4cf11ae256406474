// SMBIOS values and the factory white point text of the simulated machine.
#include "services/hardware_hal.h"
#include "sim/machine.h"
#include "sim/system_model.h"

SmBiosHelper& SmBiosHelper::GetInstance() {
    static SmBiosHelper helper;
    return helper;
}

std::string SmBiosHelper::GetOemBiosWhitePointInfo() {
    return sim::Machine::Current().System().WhitePointText();
}

BYTE SmBiosHelper::GetSecType() {
    return sim::Machine::Current().System().ChassisType();
}
