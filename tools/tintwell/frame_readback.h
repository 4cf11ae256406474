// Reads back, from what the simulated machine recorded, what each frame of a
// transition did: the CCT it stored in the settings and the gains that
// reached the hardware of the display's road.
#pragma once

#include <chrono>
#include <cstddef>
#include <vector>

#include "scene_csv.h"

namespace sim {
class Machine;
}

namespace tintwell_cli {

struct SceneFrames {
    std::vector<FrameRow> applied;
    // Frames that stored a CCT but reached no hardware (no device id, a
    // driver refusal, a display the road does not serve).
    std::size_t withoutHardware = 0;
};

// CCTs stored by frames at or after `since` on the machine clock.
std::size_t CountStoredCcts(sim::Machine& machine, std::chrono::milliseconds since);

// Frame times are given from `since`. Display type 0 reads the Intel
// driver's ramps, 3 the AMD gamut sets; any other type reaches no hardware.
SceneFrames ReadBackFrames(sim::Machine& machine, std::chrono::milliseconds since, int displayType);

}  // namespace tintwell_cli
