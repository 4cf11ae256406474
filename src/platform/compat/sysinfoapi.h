// Linux stand-in for <sysinfoapi.h>: system folders and firmware tables.
#pragma once

#include <minwindef.h>

UINT WINAPI GetSystemDirectoryW(LPWSTR buffer, UINT size);
UINT WINAPI GetSystemFirmwareTable(DWORD firmwareTableProviderSignature, DWORD firmwareTableId,
                                   PVOID firmwareTableBuffer, DWORD bufferSize);
