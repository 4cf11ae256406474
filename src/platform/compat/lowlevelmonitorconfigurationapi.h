// Linux stand-in for <lowlevelmonitorconfigurationapi.h> (dxva2): VCP
// features sent over DDC/CI, and saving the monitor's settings.
#pragma once

#include <minwindef.h>

BOOL WINAPI SetVCPFeature(HANDLE monitor, BYTE vcpCode, DWORD newValue);
BOOL WINAPI SaveCurrentSettings(HANDLE monitor);
