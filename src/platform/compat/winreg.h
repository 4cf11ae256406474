// Linux stand-in for <winreg.h>: the registry (advapi32). The simulated
// machine (sim/advapi32.cpp) keeps Windows' contracts: results are Windows
// error codes, sizes are in bytes, a null data buffer asks for the size, a
// buffer that is too small gives ERROR_MORE_DATA and the size needed.
//
// Wide strings: Windows stores REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ data as
// UTF-16LE. Linux's wchar_t has 4 bytes, so the W functions convert at this
// boundary: RegSetValueExW reads the caller's data of a string type as
// wchar_t units (size / sizeof(WCHAR) of them) and stores UTF-16LE, and
// RegQueryValueExW hands such data back as wchar_t units, with every size in
// the caller's bytes. A caller therefore passes (characters + 1) *
// sizeof(WCHAR) on both platforms. The A functions convert string data to
// and from the ANSI code page (1252). Other types are stored as given.
#pragma once

#include <cstdint>

#include <minwindef.h>

using LSTATUS = LONG;
using REGSAM = DWORD;
using PHKEY = HKEY*;
using LPDWORD = DWORD*;
using LPBYTE = BYTE*;

// winerror.h: the registry's answer to a buffer that is too small (the other
// codes it reports are in minwindef.h).
constexpr DWORD ERROR_MORE_DATA = 234;

// The predefined keys, sign-extended as Windows defines them.
#define HKEY_CURRENT_USER \
    (reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000001u))))
#define HKEY_LOCAL_MACHINE \
    (reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000002u))))

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

LSTATUS WINAPI RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass,
                               DWORD options, REGSAM desired,
                               const LPSECURITY_ATTRIBUTES securityAttributes, PHKEY result,
                               LPDWORD disposition);
LSTATUS WINAPI RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM desired, PHKEY result);
LSTATUS WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM desired, PHKEY result);
LSTATUS WINAPI RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type,
                              const BYTE* data, DWORD size);
LSTATUS WINAPI RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type,
                                LPBYTE data, LPDWORD size);
LSTATUS WINAPI RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type,
                                LPBYTE data, LPDWORD size);
LSTATUS WINAPI RegCloseKey(HKEY key);
