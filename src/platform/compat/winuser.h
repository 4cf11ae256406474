// Linux stand-in for <winuser.h>: display devices, display settings and monitors.
#pragma once

#include <minwindef.h>
