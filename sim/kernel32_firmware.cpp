// kernel32: the firmware tables.
#include <windows.h>

#include "sim/firmware_model.h"
#include "sim/machine.h"

UINT WINAPI GetSystemFirmwareTable(DWORD providerSignature, DWORD tableId, PVOID buffer,
                                   DWORD bufferSize) {
    auto& machine = sim::Machine::Current();
    const auto injected = machine.TakeFailure("GetSystemFirmwareTable");
    DWORD error = ERROR_SUCCESS;
    const UINT result = machine.Firmware().GetSystemFirmwareTable(
        providerSignature, tableId, buffer, bufferSize, injected, error);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
    }
    return result;
}
