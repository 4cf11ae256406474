// MinGW-w64 lacks the SDK's <lowlevelmonitorconfigurationapi.h>; dxva2
// exports these, and the library looks them up there at run time.
#pragma once

#include <windows.h>

#include <physicalmonitorenumerationapi.h>

extern "C" {
BOOL WINAPI SetVCPFeature(HANDLE hMonitor, BYTE bVCPCode, DWORD dwNewValue);
BOOL WINAPI SaveCurrentSettings(HANDLE hMonitor);
}
