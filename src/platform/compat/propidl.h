// Linux stand-in for <propidl.h>: PROPVARIANT with the members the library
// reads, and the calls that initialise and clear one.
#pragma once

#include <oleauto.h>

#include <cstring>

constexpr VARTYPE VT_R4 = 4;
constexpr VARTYPE VT_R8 = 5;
constexpr VARTYPE VT_UI4 = 19;

struct PROPVARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        float fltVal;
        double dblVal;
        ULONG ulVal;
        LONG lVal;
        BSTR bstrVal;
    };
};

inline void PropVariantInit(PROPVARIANT* value) {
    std::memset(value, 0, sizeof *value);
}

HRESULT WINAPI PropVariantClear(PROPVARIANT* value);
