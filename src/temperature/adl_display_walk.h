// The walk over AMD adapters and the displays mapped to each, shared by the
// roads that change a display's gamut through ADL.
#pragma once

#include <functional>

#include "temperature/adl_library.h"

// What to do for one display: its adapter index and logical display index.
using AmdDisplayAction = std::function<void(int adapterIndex, int displayIndex)>;

// Runs `action` for every display that is mapped and belongs to the adapter
// that lists it, within one use of ADL. False when the walk could not run:
// ADL not ready, the adapters not counted, or their records not had. Trace
// lines carry `caller`.
bool ForEachAmdDisplay(const AdlLibrary::Use& adl, const char* caller,
                       const AmdDisplayAction& action);
