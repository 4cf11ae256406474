// Linux stand-in for <propkeydef.h>: the key that names a property or a
// sensor data field, a format id and a property number within it.
#pragma once

#include <guiddef.h>

struct PROPERTYKEY {
    GUID fmtid;
    DWORD pid;
};
using REFPROPERTYKEY = const PROPERTYKEY&;

constexpr bool IsEqualPropertyKey(const PROPERTYKEY& a, const PROPERTYKEY& b) {
    return a.pid == b.pid && a.fmtid == b.fmtid;
}
