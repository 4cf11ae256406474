// Linux stand-in for <synchapi.h>: pausing the calling thread, and events to
// end a pause early.
#pragma once

#include <minwindef.h>

#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu

void WINAPI Sleep(DWORD milliseconds);
// Windows declares it in <sysinfoapi.h>: milliseconds since the system
// started, here on the machine's clock.
unsigned long long WINAPI GetTickCount64();

HANDLE WINAPI CreateEventW(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState,
                           LPCWSTR name);
BOOL WINAPI SetEvent(HANDLE event);
BOOL WINAPI ResetEvent(HANDLE event);
DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD milliseconds);
