// The hardware library on the simulated machine: HalInit and HalSetInformation
// answer from the machine's FirmwareModel, which records every call. An
// injected failure named "HalInit" or "HalSetInformation" makes the call fail.
// (SmBiosHelper lives in its own files.)
#include "services/hardware_hal.h"

#include "sim/firmware_model.h"
#include "sim/machine.h"

int HalInit(int version, void** context) {
    auto& machine = sim::Machine::Current();
    const bool injected = machine.TakeFailure("HalInit").has_value();
    return machine.Firmware().HalInit(version, context, injected);
}

int HalSetInformation(int version, void* context, int informationClass, void* data, int size,
                      DWORD*) {
    auto& machine = sim::Machine::Current();
    const bool injected = machine.TakeFailure("HalSetInformation").has_value();
    return machine.Firmware().HalSetInformation(version, context, informationClass, data, size,
                                                injected);
}
