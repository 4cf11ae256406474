// Linux stand-in for <oleauto.h>: BSTR and VARIANT as the library uses them.
#pragma once

#include <minwindef.h>

using OLECHAR = wchar_t;
using BSTR = OLECHAR*;
using VARTYPE = std::uint16_t;

constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_NULL = 1;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_BSTR = 8;

struct VARIANT {
    VARTYPE vt;
    union {
        LONG lVal;
        BSTR bstrVal;
    };
};

BSTR WINAPI SysAllocString(const OLECHAR* text);
void WINAPI SysFreeString(BSTR text);
UINT WINAPI SysStringLen(BSTR text);
void WINAPI VariantInit(VARIANT* value);
HRESULT WINAPI VariantClear(VARIANT* value);
