/* What Explorer's "Details" tab shows for the DLL, read from the very file
 * the loader picked, so a stale DLL beside the program is caught. */
#include "dll_version_win32.h"

#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include <tintwell/tintwell.h>

static const wchar_t* const kStringNames[] = {L"ProductName", L"FileVersion", L"ProductVersion",
                                              L"OriginalFilename", L"FileDescription"};

static void PrintStrings(const void* info) {
    for (size_t i = 0; i < sizeof kStringNames / sizeof kStringNames[0]; ++i) {
        wchar_t query[64];
        swprintf(query, sizeof query / sizeof query[0], L"\\StringFileInfo\\040904B0\\%ls",
                 kStringNames[i]);
        wchar_t* value = NULL;
        UINT length = 0;
        if (VerQueryValueW(info, query, (void**)&value, &length) && length > 0) {
            printf("dll %ls %ls\n", kStringNames[i], value);
        } else {
            printf("dll %ls (missing)\n", kStringNames[i]);
        }
    }
}

static int FixedVersionMatchesHeader(const void* info) {
    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    if (!VerQueryValueW(info, L"\\", (void**)&fixed, &length) || length < sizeof *fixed) {
        printf("dll file version (missing)\n");
        return 0;
    }
    const unsigned major = HIWORD(fixed->dwFileVersionMS);
    const unsigned minor = LOWORD(fixed->dwFileVersionMS);
    const unsigned patch = HIWORD(fixed->dwFileVersionLS);
    printf("dll file version %u.%u.%u.%u\n", major, minor, patch, LOWORD(fixed->dwFileVersionLS));
    return major == TINTWELL_VERSION_MAJOR && minor == TINTWELL_VERSION_MINOR &&
           patch == TINTWELL_VERSION_PATCH;
}

int DllVersionMatchesHeader(void) {
    wchar_t path[MAX_PATH];
    const DWORD pathLength =
        GetModuleFileNameW(GetModuleHandleW(L"TintwellDll.dll"), path, MAX_PATH);
    DWORD unused = 0;
    const DWORD size =
        pathLength > 0 && pathLength < MAX_PATH ? GetFileVersionInfoSizeW(path, &unused) : 0;
    void* info = size > 0 ? malloc(size) : NULL;
    int matches = 0;
    if (info != NULL && GetFileVersionInfoW(path, 0, size, info)) {
        PrintStrings(info);
        matches = FixedVersionMatchesHeader(info);
    } else {
        printf("dll version resource (missing)\n");
    }
    free(info);
    return matches;
}
