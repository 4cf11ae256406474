// Linux stand-in for <sysinfoapi.h>: system folders.
#pragma once

#include <minwindef.h>

UINT WINAPI GetSystemDirectoryW(LPWSTR buffer, UINT size);
