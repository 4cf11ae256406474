// Linux stand-in for <handleapi.h>: the handle value that marks no handle,
// and closing one.
#pragma once

#include <minwindef.h>

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)

BOOL WINAPI CloseHandle(HANDLE object);
