// Linux stand-in for the Windows SDK's base types and error codes. Widths
// follow Windows (LONG and BOOL are 32-bit); WCHAR stays the Linux wchar_t and
// is converted where text crosses into files.
#pragma once

#include <cstddef>
#include <cstdint>

using BOOL = std::int32_t;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using INT = int;
using CHAR = char;
using WCHAR = wchar_t;
using LPSTR = char*;
using LPCSTR = const char*;
using LPWSTR = wchar_t*;
using LPCWSTR = const wchar_t*;
using PWSTR = wchar_t*;
using PCWSTR = const wchar_t*;
using LPBOOL = BOOL*;
using PBOOL = BOOL*;
using PDWORD = DWORD*;
using HRESULT = std::int32_t;
using INT_PTR = std::intptr_t;
using LONG_PTR = std::intptr_t;
using LPDWORD = DWORD*;
using LPARAM = LONG_PTR;

using LPVOID = void*;
using LPCVOID = const void*;
using PVOID = void*;
using HANDLE = void*;

// Handles of different kinds are distinct types, as with STRICT on Windows.
#define TW_DECLARE_HANDLE(name) \
    struct name##__;            \
    using name = name##__*
TW_DECLARE_HANDLE(HINSTANCE);
using HMODULE = HINSTANCE;
TW_DECLARE_HANDLE(HDC);
TW_DECLARE_HANDLE(HKEY);
TW_DECLARE_HANDLE(HMONITOR);
TW_DECLARE_HANDLE(HWND);
#undef TW_DECLARE_HANDLE

using FARPROC = INT_PTR (*)();

// minwinbase.h on Windows: for the registry's keys and the events.
struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

static_assert(sizeof(BOOL) == 4 && sizeof(DWORD) == 4 && sizeof(LONG) == 4);
static_assert(sizeof(WORD) == 2 && sizeof(BYTE) == 1);

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

constexpr std::size_t MAX_PATH = 260;

#define WINAPI
#define CALLBACK

// Windows' own error codes (winerror.h), never errno values.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_INVALID_NAME = 123;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;
constexpr DWORD ERROR_NOT_FOUND = 1168;
constexpr DWORD ERROR_INVALID_MONITOR_HANDLE = 1461;
