// Linux stand-in for <winerror.h>: the HRESULT codes that COM and OLE calls
// return, with Windows' values, and the tests on them.
#pragma once

#include <minwindef.h>

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0);
constexpr HRESULT RPC_E_CHANGED_MODE = static_cast<HRESULT>(0x80010106);
constexpr HRESULT RPC_E_WRONG_THREAD = static_cast<HRESULT>(0x8001010E);

constexpr HRESULT FACILITY_WIN32 = 7;

// A Windows error code as an HRESULT; values that already are one (zero or
// negative) pass unchanged.
constexpr HRESULT HRESULT_FROM_WIN32(DWORD error) {
    const auto asResult = static_cast<HRESULT>(error);
    return asResult <= 0
               ? asResult
               : static_cast<HRESULT>((error & 0xFFFFu) |
                                      (static_cast<DWORD>(FACILITY_WIN32) << 16) | 0x80000000u);
}
