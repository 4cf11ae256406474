// Linux stand-in for <libloaderapi.h>: modules loaded at run time.
#pragma once

#include <minwindef.h>

// Searches the system directory only, never the application's folder.
constexpr DWORD LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x00000800;

HMODULE WINAPI LoadLibraryW(LPCWSTR fileName);
HMODULE WINAPI LoadLibraryExW(LPCWSTR fileName, HANDLE file, DWORD flags);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName);
BOOL WINAPI FreeLibrary(HMODULE module);
DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);
