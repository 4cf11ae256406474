// kernel32: pausing the calling thread, and events that end a wait early, on
// the machine's clock. An event handle is the event object itself.
#include <windows.h>

#include <new>
#include <optional>

#include "sim/error_codes.h"
#include "sim/machine.h"
#include "sim/machine_clock.h"

namespace {

sim::MachineEvent* EventOf(HANDLE handle) {
    return static_cast<sim::MachineEvent*>(handle);
}

// `change` on the event behind a handle; a null handle is refused.
template <typename Change>
BOOL ChangeEvent(HANDLE event, Change change) {
    if (event == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    change(*EventOf(event));
    return TRUE;
}

}  // namespace

void WINAPI Sleep(DWORD milliseconds) {
    sim::Machine::Current().Clock().Sleep(sim::MachineClock::Milliseconds(milliseconds));
}

unsigned long long WINAPI GetTickCount64() {
    return static_cast<unsigned long long>(sim::Machine::Current().Clock().Now().count());
}

HANDLE WINAPI CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState,
                           LPCWSTR name) {
    if (name != nullptr) {
        SetLastError(sim::kErrorNotSupported);
        return nullptr;
    }
    if (const auto error = sim::Machine::Current().TakeFailure("CreateEventW")) {
        SetLastError(*error);
        return nullptr;
    }
    auto* event = new (std::nothrow) sim::MachineEvent(manualReset != FALSE, initialState != FALSE);
    if (event == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return event;
}

BOOL WINAPI SetEvent(HANDLE event) {
    return ChangeEvent(event, [](sim::MachineEvent& e) { e.Set(); });
}

BOOL WINAPI ResetEvent(HANDLE event) {
    return ChangeEvent(event, [](sim::MachineEvent& e) { e.Reset(); });
}

DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    std::optional<sim::MachineClock::Milliseconds> timeout;
    if (milliseconds != INFINITE) {
        timeout = sim::MachineClock::Milliseconds(milliseconds);
    }
    return sim::Machine::Current().Clock().Wait(*EventOf(object), timeout) ? WAIT_OBJECT_0
                                                                           : WAIT_TIMEOUT;
}

BOOL WINAPI CloseHandle(HANDLE object) {
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete EventOf(object);
    return TRUE;
}
