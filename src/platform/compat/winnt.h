// Linux stand-in for <winnt.h>: the locally unique identifier, which names a
// graphics adapter in the display configuration.
#pragma once

#include <minwindef.h>

struct LUID {
    DWORD LowPart;
    LONG HighPart;
};
