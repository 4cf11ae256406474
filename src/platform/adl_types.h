// The AMD Display Library's records, result codes, flags and entry point
// types, declared once for both platforms from ADL's published layouts. ADL
// hands the records across a C boundary, so every size is pinned.
#pragma once

#include <windows.h>

#include <cstddef>

namespace adl {

// The module in the system directory: the current name first, then the one
// older drivers install.
inline constexpr const wchar_t* kModules[] = {L"\\atiadlxx.dll", L"\\atiadlxy.dll"};
// Only adapters with a display connected take part.
inline constexpr int kEnumConnectedAdapters = 1;

// ADL's fixed text length inside its records.
inline constexpr std::size_t kMaxPath = 256;

// Result codes.
inline constexpr int kOk = 0;
inline constexpr int kErr = -1;
inline constexpr int kErrNotInit = -2;
inline constexpr int kErrInvalidParam = -3;
inline constexpr int kErrInvalidParamSize = -4;
inline constexpr int kErrInvalidAdapterIndex = -5;
inline constexpr int kErrInvalidDisplayIndex = -7;
inline constexpr int kErrNotSupported = -8;
inline constexpr int kErrNullPointer = -9;
inline constexpr int kErrInvalidCallback = -11;

// Display information value: the display is mapped to a desktop.
inline constexpr int kDisplayInfoMapped = 0x2;
// Gamut reference: the source gamut rather than the destination.
inline constexpr int kGamutReferenceSource = 0x1;
// Gamut data feature: the custom white point fields are valid.
inline constexpr int kFeatureCustomWhitePoint = 0x1;
// Supported and predefined gamut spaces: CIE RGB.
inline constexpr int kGamutSpaceCieRgb = 0x8;
// Supported white points: a custom white point.
inline constexpr int kWhitePointCustom = 0x10;

struct AdapterInfo {
    int size;
    int adapterIndex;
    char udid[kMaxPath];
    int busNumber;
    int deviceNumber;
    int functionNumber;
    int vendorId;
    char adapterName[kMaxPath];
    char displayName[kMaxPath];
    int present;
    int exist;
    char driverPath[kMaxPath];
    char driverPathExt[kMaxPath];
    char pnpString[kMaxPath];
    int osDisplayIndex;
};
static_assert(sizeof(AdapterInfo) == 1572);

struct DisplayId {
    int logicalIndex;
    int physicalIndex;
    int logicalAdapterIndex;
    int physicalAdapterIndex;
};
static_assert(sizeof(DisplayId) == 16);

struct DisplayInfo {
    DisplayId displayId;
    int controllerIndex;
    char displayName[kMaxPath];
    char manufacturerName[kMaxPath];
    int displayType;
    int outputType;
    int connector;
    int infoMask;
    int infoValue;
};
static_assert(sizeof(DisplayInfo) == 552);

// Passed by value: which gamut a call is about.
struct GamutReference {
    int gamutRef;
};
static_assert(sizeof(GamutReference) == 4);

struct GamutInfo {
    int supportedGamutSpace;
    int supportedWhitePoint;
};
static_assert(sizeof(GamutInfo) == 8);

// CIE 1931 x and y, each times 10000.
struct Point {
    int x;
    int y;
};
static_assert(sizeof(Point) == 8);

struct GamutCoordinates {
    Point red;
    Point green;
    Point blue;
};
static_assert(sizeof(GamutCoordinates) == 24);

struct GamutData {
    int feature;
    int predefinedGamut;
    int predefinedWhitePoint;
    Point customWhitePoint;
    GamutCoordinates customGamut;
};
static_assert(sizeof(GamutData) == 44);

struct RegammaCoefficients {
    int coefficientA0[3];
    int coefficientA1[3];
    int coefficientA2[3];
    int coefficientA3[3];
    int gamma[3];
};
static_assert(sizeof(RegammaCoefficients) == 60);

// ADL allocates the records it returns through this callback of its caller.
using MallocCallback = void*(WINAPI*)(int size);

using MainControlCreate = int(WINAPI*)(MallocCallback callback, int enumConnectedAdapters);
using MainControlDestroy = int(WINAPI*)();
using AdapterNumberOfAdaptersGet = int(WINAPI*)(int* count);
using AdapterAdapterInfoGet = int(WINAPI*)(AdapterInfo* info, int inputSize);
using DisplayColorCapsGet = int(WINAPI*)(int adapterIndex, int displayIndex, int* caps,
                                         int* valids);
using DisplayColorGet = int(WINAPI*)(int adapterIndex, int displayIndex, int colorType,
                                     int* current, int* defaultValue, int* minimum, int* maximum,
                                     int* step);
using DisplayColorSet = int(WINAPI*)(int adapterIndex, int displayIndex, int colorType,
                                     int current);
using DisplayDisplayInfoGet = int(WINAPI*)(int adapterIndex, int* count, DisplayInfo** info,
                                           int forceDetect);
using DisplayGamutSet = int(WINAPI*)(int adapterIndex, int displayIndex, GamutReference reference,
                                     const GamutData* gamut);
using DisplayGamutGet = int(WINAPI*)(int adapterIndex, int displayIndex, GamutReference reference,
                                     GamutData* gamut);
using DisplayGamutCaps = int(WINAPI*)(int adapterIndex, int displayIndex, GamutReference reference,
                                      GamutInfo* caps);
using DisplayRegammaR1Get = int(WINAPI*)(int adapterIndex, int displayIndex,
                                         RegammaCoefficients* regamma);
using DisplayRegammaR1Set = int(WINAPI*)(int adapterIndex, int displayIndex,
                                         RegammaCoefficients* regamma);

}  // namespace adl
