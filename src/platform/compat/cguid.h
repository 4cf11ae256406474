// Linux stand-in for <cguid.h>: the system's own class identifiers.
#pragma once

#include <guiddef.h>

// The process's one global interface table.
inline constexpr CLSID CLSID_StdGlobalInterfaceTable = {
    0x00000323, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
