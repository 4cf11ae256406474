// Linux stand-in for <windef.h>: rectangles.
#pragma once

#include <minwindef.h>

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;
