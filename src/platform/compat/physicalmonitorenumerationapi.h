// Linux stand-in for <physicalmonitorenumerationapi.h> (dxva2): the physical
// monitors behind one HMONITOR. Packed as in the SDK; the description is
// the Linux wchar_t, which only the simulated machine reads.
#pragma once

#include <minwindef.h>

constexpr std::size_t PHYSICAL_MONITOR_DESCRIPTION_SIZE = 128;

#pragma pack(push, 1)
struct PHYSICAL_MONITOR {
    HANDLE hPhysicalMonitor;
    WCHAR szPhysicalMonitorDescription[PHYSICAL_MONITOR_DESCRIPTION_SIZE];
};
#pragma pack(pop)
using LPPHYSICAL_MONITOR = PHYSICAL_MONITOR*;

BOOL WINAPI GetNumberOfPhysicalMonitorsFromHMONITOR(HMONITOR monitor, LPDWORD count);
BOOL WINAPI GetPhysicalMonitorsFromHMONITOR(HMONITOR monitor, DWORD arraySize,
                                            LPPHYSICAL_MONITOR array);
BOOL WINAPI DestroyPhysicalMonitors(DWORD arraySize, LPPHYSICAL_MONITOR array);
