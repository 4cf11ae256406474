// Linux stand-in for <sysinfoapi.h>: system folders.
#pragma once

#include <minwindef.h>
