// Linux stand-in for <objbase.h>: COM apartments and object creation.
#pragma once

#include <cguid.h>
#include <objidl.h>
#include <unknwn.h>

constexpr DWORD COINIT_MULTITHREADED = 0x0;
constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
constexpr DWORD CLSCTX_ALL =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

HRESULT WINAPI CoInitializeEx(LPVOID reserved, DWORD coInit);
void WINAPI CoUninitialize();
HRESULT WINAPI CoCreateInstance(REFCLSID classId, LPUNKNOWN outer, DWORD context, REFIID iid,
                                LPVOID* object);

// Keeps the multithreaded apartment alive without a thread in it.
struct CO_MTA_USAGE_COOKIE__;
using CO_MTA_USAGE_COOKIE = CO_MTA_USAGE_COOKIE__*;
HRESULT WINAPI CoIncrementMTAUsage(CO_MTA_USAGE_COOKIE* cookie);
HRESULT WINAPI CoDecrementMTAUsage(CO_MTA_USAGE_COOKIE cookie);
