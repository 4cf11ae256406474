// Linux stand-in for <wingdi.h>: GDI: display device records, display modes,
// device contexts, image colour management, gamma ramps, and the records of
// the display configuration.
#pragma once

#include <basetsd.h>
#include <minwindef.h>
#include <winnt.h>

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

// The display configuration: paths from sources (the desktop's displays) to
// targets (the monitors' connections). The enumerations hold the values a
// call site names; members no call site reads keep their bytes under plain
// types, so that the records have Windows' sizes.
enum DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY : UINT32 {
    DISPLAYCONFIG_OUTPUT_TECHNOLOGY_OTHER = 0xFFFFFFFF,
    DISPLAYCONFIG_OUTPUT_TECHNOLOGY_INTERNAL = 0x80000000,
};

enum DISPLAYCONFIG_MODE_INFO_TYPE : UINT32 {
    DISPLAYCONFIG_MODE_INFO_TYPE_SOURCE = 1,
    DISPLAYCONFIG_MODE_INFO_TYPE_TARGET = 2,
};

enum DISPLAYCONFIG_TOPOLOGY_ID : UINT32 {};

enum DISPLAYCONFIG_DEVICE_INFO_TYPE : UINT32 {
    DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME = 2,
};

struct DISPLAYCONFIG_RATIONAL {
    UINT32 Numerator;
    UINT32 Denominator;
};

// The union of the source and the target mode is left out.
struct DISPLAYCONFIG_MODE_INFO {
    DISPLAYCONFIG_MODE_INFO_TYPE infoType;
    UINT32 id;
    LUID adapterId;
    UINT64 mode[6];
};
static_assert(sizeof(DISPLAYCONFIG_MODE_INFO) == 64);

constexpr UINT32 DISPLAYCONFIG_SOURCE_IN_USE = 0x00000001;
constexpr UINT32 DISPLAYCONFIG_TARGET_IN_USE = 0x00000001;
constexpr UINT32 DISPLAYCONFIG_PATH_ACTIVE = 0x00000001;

struct DISPLAYCONFIG_PATH_SOURCE_INFO {
    LUID adapterId;
    UINT32 id;
    UINT32 modeInfoIdx;
    UINT32 statusFlags;
};

struct DISPLAYCONFIG_PATH_TARGET_INFO {
    LUID adapterId;
    UINT32 id;
    UINT32 modeInfoIdx;
    DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY outputTechnology;
    UINT32 rotation;
    UINT32 scaling;
    DISPLAYCONFIG_RATIONAL refreshRate;
    UINT32 scanLineOrdering;
    BOOL targetAvailable;
    UINT32 statusFlags;
};

struct DISPLAYCONFIG_PATH_INFO {
    DISPLAYCONFIG_PATH_SOURCE_INFO sourceInfo;
    DISPLAYCONFIG_PATH_TARGET_INFO targetInfo;
    UINT32 flags;
};
static_assert(sizeof(DISPLAYCONFIG_PATH_INFO) == 72);

struct DISPLAYCONFIG_DEVICE_INFO_HEADER {
    DISPLAYCONFIG_DEVICE_INFO_TYPE type;
    UINT32 size;
    LUID adapterId;
    UINT32 id;
};

// The flags' bit-fields are left out.
struct DISPLAYCONFIG_TARGET_DEVICE_NAME_FLAGS {
    UINT32 value;
};

struct DISPLAYCONFIG_TARGET_DEVICE_NAME {
    DISPLAYCONFIG_DEVICE_INFO_HEADER header;
    DISPLAYCONFIG_TARGET_DEVICE_NAME_FLAGS flags;
    DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY outputTechnology;
    UINT16 edidManufactureId;
    UINT16 edidProductCodeId;
    UINT32 connectorInstance;
    WCHAR monitorFriendlyDeviceName[64];
    WCHAR monitorDevicePath[128];
};
