// Linux stand-in for <pathcch.h>: canonicalisation of Windows paths, answered
// by the simulated machine as Windows does (sim/kernelbase_path.cpp).
#pragma once

#include <minwindef.h>
#include <winerror.h>

// Removes "." and ".." components (never above the root), strips trailing
// dots and keeps forward slashes as ordinary characters. Fails with
// HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE) for a path longer than
// MAX_PATH - 4 characters that does not start with a drive and a backslash,
// E_INVALIDARG for an empty buffer, and
// HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER) when the result does not fit.
HRESULT WINAPI PathCchCanonicalize(PWSTR pathOut, std::size_t pathOutSize, PCWSTR pathIn);
