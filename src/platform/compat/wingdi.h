// Linux stand-in for <wingdi.h>: GDI: device contexts and gamma ramps.
#pragma once

#include <minwindef.h>
