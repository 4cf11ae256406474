// The AMD road of the colour temperature: the requested gains become a
// custom white point that ADL sets on every mapped AMD display.
#pragma once

#include "temperature/adl_library.h"
#include "temperature/color_request.h"

// 0 when the walk over the displays ran, whatever each display answered;
// -1 when ADL is not ready (or released meanwhile), the walk could not run,
// or the gains give no white point.
int SetAmdTemperature(const AdlLibrary& adl, const ColorRequest& request);
