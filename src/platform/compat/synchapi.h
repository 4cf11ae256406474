// Linux stand-in for <synchapi.h>: pausing the calling thread.
#pragma once

#include <minwindef.h>

void WINAPI Sleep(DWORD milliseconds);
