// The DDC/CI side of the desktop road: red, green and blue gains sent to the
// physical monitors of each display through the monitor configuration
// functions.
#pragma once

#include <windows.h>

#include <vector>

#include "discovery/display_detection.h"
#include "temperature/color_request.h"

// The colour set being applied. Only the desktop monitor worker writes and
// reads it; thread_local keeps a second worker (tests build their own) from
// sharing it.
extern thread_local ColorRequest g_colorCurrentSet;

// The EnumDisplayMonitors callback that applies g_colorCurrentSet to the
// served physical monitors of one display. `displayDeviceList` is the address
// of the std::vector<DisplayDeviceRecord> that decides which are served.
// Always continues the enumeration.
BOOL CALLBACK MonitorEnumProc(HMONITOR display, HDC, LPRECT, LPARAM displayDeviceList);
