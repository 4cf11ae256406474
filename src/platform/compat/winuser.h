// Linux stand-in for <winuser.h>: display devices, display settings and the
// display monitors of the desktop.
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
