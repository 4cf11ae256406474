// kernel32: pausing the calling thread, on the machine's clock.
#include <windows.h>

#include "sim/machine.h"
#include "sim/machine_clock.h"

void WINAPI Sleep(DWORD milliseconds) {
    sim::Machine::Current().Clock().Sleep(sim::MachineClock::Milliseconds(milliseconds));
}
