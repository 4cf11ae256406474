// Linux stand-in for <wingdi.h>: GDI: display device records, display modes,
// device contexts, image colour management and gamma ramps.
#pragma once

#include <minwindef.h>

#include <cstddef>

// Display device state flags: adapters.
constexpr DWORD DISPLAY_DEVICE_ATTACHED_TO_DESKTOP = 0x00000001;
constexpr DWORD DISPLAY_DEVICE_MULTI_DRIVER = 0x00000002;
constexpr DWORD DISPLAY_DEVICE_PRIMARY_DEVICE = 0x00000004;
// Display device state flags: monitors.
constexpr DWORD DISPLAY_DEVICE_ACTIVE = 0x00000001;
constexpr DWORD DISPLAY_DEVICE_ATTACHED = 0x00000002;

struct DISPLAY_DEVICEW {
    DWORD cb;
    WCHAR DeviceName[32];
    WCHAR DeviceString[128];
    DWORD StateFlags;
    WCHAR DeviceID[128];
    WCHAR DeviceKey[128];
};
using PDISPLAY_DEVICEW = DISPLAY_DEVICEW*;

struct POINTL {
    LONG x;
    LONG y;
};

constexpr std::size_t CCHDEVICENAME = 32;
constexpr std::size_t CCHFORMNAME = 32;

// The display variant of the device mode record; the printer members of the
// unions are left out, their bytes are kept. The two names hold UTF-16 code
// units as on Windows, so that the record has Windows' 220 bytes and offsets
// and a dmSize taken from sizeof means the same on both platforms.
struct DEVMODEW {
    char16_t dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    POINTL dmPosition;
    DWORD dmDisplayOrientation;
    DWORD dmDisplayFixedOutput;
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    char16_t dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod;
    DWORD dmICMIntent;
    DWORD dmMediaType;
    DWORD dmDitherType;
    DWORD dmReserved1;
    DWORD dmReserved2;
    DWORD dmPanningWidth;
    DWORD dmPanningHeight;
};
static_assert(sizeof(DEVMODEW) == 220);
static_assert(offsetof(DEVMODEW, dmPosition) == 76 && offsetof(DEVMODEW, dmBitsPerPel) == 168);
static_assert(offsetof(DEVMODEW, dmDisplayFrequency) == 184);

constexpr DWORD DM_POSITION = 0x00000020;
constexpr DWORD DM_BITSPERPEL = 0x00040000;
constexpr DWORD DM_PELSWIDTH = 0x00080000;
constexpr DWORD DM_PELSHEIGHT = 0x00100000;
constexpr DWORD DM_DISPLAYFREQUENCY = 0x00400000;

HDC WINAPI CreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* mode);
BOOL WINAPI DeleteDC(HDC dc);

constexpr int ICM_OFF = 1;
constexpr int ICM_ON = 2;
constexpr int ICM_QUERY = 3;
// The previous mode on success, 0 on failure.
int WINAPI SetICMMode(HDC dc, int mode);
BOOL WINAPI SetICMProfileW(HDC dc, LPWSTR fileName);

// Three arrays of 256 WORDs, red, green, blue.
BOOL WINAPI GetDeviceGammaRamp(HDC dc, LPVOID ramp);
BOOL WINAPI SetDeviceGammaRamp(HDC dc, LPVOID ramp);
BOOL WINAPI GdiFlush();

// The logical colour space of sRGB, 'sRGB'.
constexpr LONG LCS_sRGB = 0x73524742;
