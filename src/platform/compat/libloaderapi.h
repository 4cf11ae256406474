// Linux stand-in for <libloaderapi.h>: modules: LoadLibraryW, GetProcAddress, FreeLibrary,
// GetSystemDirectoryW.
#pragma once

#include <minwindef.h>
