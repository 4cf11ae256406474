// Linux stand-in for <unknwn.h>: IUnknown with its three slots, in order.
#pragma once

#include <guiddef.h>
#include <winerror.h>

// x64 has one calling convention, so COM methods need no marker of their own.
#define STDMETHODCALLTYPE

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};
using LPUNKNOWN = IUnknown*;

__CRT_UUID_DECL(IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                0x46)

inline constexpr IID IID_IUnknown = tw_compat::UuidOf<IUnknown>();
