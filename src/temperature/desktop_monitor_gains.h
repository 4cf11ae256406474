// The DDC/CI side of the desktop road: red, green and blue gains sent to the
// physical monitors of each display through the monitor configuration
// functions.
#pragma once

#include <windows.h>

#include <vector>

#include "discovery/display_detection.h"
#include "platform/dxva2_library.h"
#include "temperature/color_request.h"

// The colour set being applied. Only the desktop monitor worker writes and
// reads it; thread_local keeps a second worker (tests build their own) from
// sharing it.
extern thread_local ColorRequest g_colorCurrentSet;

// What one pass over the displays works with: the monitor list that decides
// which physical monitors are served, and the loaded dxva2 that reaches them.
struct DesktopPass {
    const std::vector<DisplayDeviceRecord>& displayDeviceList;
    const Dxva2EntryPoints& dxva2;
};

// The EnumDisplayMonitors callback that applies g_colorCurrentSet to the
// served physical monitors of one display. `pass` is the address of a
// DesktopPass. Always continues the enumeration.
BOOL CALLBACK MonitorEnumProc(HMONITOR display, HDC, LPRECT, LPARAM pass);
