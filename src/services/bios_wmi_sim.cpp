// The firmware WMI interface of the maker's WMI component on the simulated
// machine: answers from the machine's FirmwareModel. An injected failure named
// "BiosWmi::GetBiosInfo", "BiosWmi::GetDpStatus" or "BiosWmi::SetDpStatus"
// makes the call return the injected error code (-1 for a code of 0) with no
// other effect than being recorded.
#include "services/wmi_util.h"

#include "sim/firmware_model.h"
#include "sim/machine.h"

namespace OrvSDK {

namespace {

int InjectedError(const char* call) {
    const auto error = sim::Machine::Current().TakeFailure(call);
    if (!error) {
        return 0;
    }
    return *error == 0 ? -1 : static_cast<int>(*error);
}

}  // namespace

int BiosWmi::GetBiosInfo(const BYTE* input, BYTE* output) {
    const int injected = InjectedError("BiosWmi::GetBiosInfo");
    return sim::Machine::Current().Firmware().GetBiosInfo(input, output, injected);
}

int BiosWmi::GetDpStatus(int& status) {
    const int injected = InjectedError("BiosWmi::GetDpStatus");
    return sim::Machine::Current().Firmware().GetDpStatus(status, injected);
}

int BiosWmi::SetDpStatus(int status) {
    const int injected = InjectedError("BiosWmi::SetDpStatus");
    return sim::Machine::Current().Firmware().SetDpStatus(status, injected);
}

}  // namespace OrvSDK
