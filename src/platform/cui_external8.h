// The Intel graphics driver's COM interface, declared once for both
// platforms from its layout: the slot numbers are what the driver's server
// dispatches on, so every slot the library does not call keeps its place
// with a reserved entry.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <oleauto.h>

// The driver's COM class.
inline constexpr CLSID kCUIExternalClassId = {
    0x7160A13D, 0x73DA, 0x4CEA, {0x95, 0xB9, 0x37, 0x35, 0x64, 0x78, 0x58, 0x8A}};

#define TW_RESERVED_SLOT(slot) virtual HRESULT STDMETHODCALLTYPE Reserved##slot() = 0;

// Slots 3 to 25.
struct CUIExternalDevices : public IUnknown {
    // Slot 3: the driver's id of a display device name (index 0); `value` is not used.
    virtual HRESULT STDMETHODCALLTYPE EnumActiveDevices(BSTR deviceName, LONG index, LONG* deviceId,
                                                        LONG* value) = 0;
    TW_RESERVED_SLOT(4)
    TW_RESERVED_SLOT(5)
    TW_RESERVED_SLOT(6)
    TW_RESERVED_SLOT(7)
    TW_RESERVED_SLOT(8)
    TW_RESERVED_SLOT(9)
    TW_RESERVED_SLOT(10)
    TW_RESERVED_SLOT(11)
    TW_RESERVED_SLOT(12)
    TW_RESERVED_SLOT(13)
    TW_RESERVED_SLOT(14)
    TW_RESERVED_SLOT(15)
    TW_RESERVED_SLOT(16)
    TW_RESERVED_SLOT(17)
    TW_RESERVED_SLOT(18)
    TW_RESERVED_SLOT(19)
    TW_RESERVED_SLOT(20)
    TW_RESERVED_SLOT(21)
    TW_RESERVED_SLOT(22)
    TW_RESERVED_SLOT(23)
    TW_RESERVED_SLOT(24)
    TW_RESERVED_SLOT(25)
};

// Slots 26 to 45.
struct CUIExternalGamma : public CUIExternalDevices {
    // Slot 26: a 3 x 256 ramp of 16-bit values; size in bytes (1536).
    virtual HRESULT STDMETHODCALLTYPE SetGammaRamp(LONG deviceId, LONG size, WORD* ramp,
                                                   LONG* status) = 0;
    TW_RESERVED_SLOT(27)
    TW_RESERVED_SLOT(28)
    TW_RESERVED_SLOT(29)
    TW_RESERVED_SLOT(30)
    TW_RESERVED_SLOT(31)
    TW_RESERVED_SLOT(32)
    TW_RESERVED_SLOT(33)
    TW_RESERVED_SLOT(34)
    TW_RESERVED_SLOT(35)
    TW_RESERVED_SLOT(36)
    TW_RESERVED_SLOT(37)
    TW_RESERVED_SLOT(38)
    TW_RESERVED_SLOT(39)
    TW_RESERVED_SLOT(40)
    TW_RESERVED_SLOT(41)
    TW_RESERVED_SLOT(42)
    TW_RESERVED_SLOT(43)
    TW_RESERVED_SLOT(44)
    TW_RESERVED_SLOT(45)
};

// Slot 46 onwards.
struct CUIExternal8 : public CUIExternalGamma {
    // Slot 46: a feature's header and data; the driver reads both buffers.
    virtual HRESULT STDMETHODCALLTYPE SetFeatureData(GUID feature, LONG headerSize, BYTE* header,
                                                     LONG dataSize, BYTE* data, LONG* status) = 0;
};

#undef TW_RESERVED_SLOT

__CRT_UUID_DECL(CUIExternalDevices, 0x27E7234F, 0x429F, 0x4787, 0xAC, 0x8F, 0x8A, 0xAD, 0xDE, 0xD0,
                0x13, 0x55)
__CRT_UUID_DECL(CUIExternalGamma, 0xAFB6489F, 0x4515, 0x44AA, 0x8D, 0xF7, 0xED, 0x28, 0xEA, 0x46,
                0x28, 0x3C)
__CRT_UUID_DECL(CUIExternal8, 0xF932C038, 0x6484, 0x45CA, 0x8F, 0xA1, 0x7C, 0x8C, 0x27, 0x9F, 0x7A,
                0xEE)
