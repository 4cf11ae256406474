// Linux stand-in for <oleauto.h>: VARIANT and BSTR as the library uses them.
#pragma once

#include <windows.h>

using BSTR = wchar_t*;
using VARTYPE = std::uint16_t;

constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_BSTR = 8;

struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    BSTR bstrVal = nullptr;
};
