// Linux stand-in for <highlevelmonitorconfigurationapi.h> (dxva2): the
// monitor settings sent over DDC/CI.
#pragma once

#include <minwindef.h>
#include <physicalmonitorenumerationapi.h>

enum MC_GAIN_TYPE {
    MC_RED_GAIN = 0,
    MC_GREEN_GAIN = 1,
    MC_BLUE_GAIN = 2,
};

BOOL WINAPI SetMonitorRedGreenOrBlueGain(HANDLE monitor, MC_GAIN_TYPE gainType, DWORD newGain);
BOOL WINAPI GetMonitorRedGreenOrBlueGain(HANDLE monitor, MC_GAIN_TYPE gainType, LPDWORD minimumGain,
                                         LPDWORD currentGain, LPDWORD maximumGain);
