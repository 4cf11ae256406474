// Linux stand-in for <winuser.h>: display devices, display settings, the
// display monitors of the desktop and the display configuration.
#pragma once

#include <minwindef.h>
#include <windef.h>
#include <wingdi.h>

// With this flag a monitor's DeviceID is its device interface name
// (\\?\DISPLAY#...#{GUID}) instead of its device id.
constexpr DWORD EDD_GET_DEVICE_INTERFACE_NAME = 0x00000001;
BOOL WINAPI EnumDisplayDevicesW(LPCWSTR device, DWORD deviceIndex, PDISPLAY_DEVICEW displayDevice,
                                DWORD flags);

constexpr DWORD ENUM_CURRENT_SETTINGS = static_cast<DWORD>(-1);
constexpr DWORD ENUM_REGISTRY_SETTINGS = static_cast<DWORD>(-2);
BOOL WINAPI EnumDisplaySettingsW(LPCWSTR deviceName, DWORD modeNumber, DEVMODEW* devMode);

using MONITORENUMPROC = BOOL(CALLBACK*)(HMONITOR monitor, HDC dc, LPRECT rect, LPARAM data);
BOOL WINAPI EnumDisplayMonitors(HDC dc, LPCRECT clip, MONITORENUMPROC enumProc, LPARAM data);

constexpr DWORD MONITORINFOF_PRIMARY = 0x00000001;

struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
using LPMONITORINFO = MONITORINFO*;

// As in the SDK's C++ declaration, the extended record derives from the
// short one, so either can be handed to GetMonitorInfoW.
struct MONITORINFOEXW : MONITORINFO {
    WCHAR szDevice[CCHDEVICENAME];
};
using LPMONITORINFOEXW = MONITORINFOEXW*;

// Fills the record its cbSize names: MONITORINFO or MONITORINFOEXW.
BOOL WINAPI GetMonitorInfoW(HMONITOR monitor, LPMONITORINFO info);

// The display configuration; each call returns a Windows error code.
constexpr UINT32 QDC_ONLY_ACTIVE_PATHS = 0x00000002;
LONG WINAPI GetDisplayConfigBufferSizes(UINT32 flags, UINT32* numPathArrayElements,
                                        UINT32* numModeInfoArrayElements);
LONG WINAPI QueryDisplayConfig(UINT32 flags, UINT32* numPathArrayElements,
                               DISPLAYCONFIG_PATH_INFO* pathArray, UINT32* numModeInfoArrayElements,
                               DISPLAYCONFIG_MODE_INFO* modeInfoArray,
                               DISPLAYCONFIG_TOPOLOGY_ID* currentTopologyId);
LONG WINAPI DisplayConfigGetDeviceInfo(DISPLAYCONFIG_DEVICE_INFO_HEADER* requestPacket);
