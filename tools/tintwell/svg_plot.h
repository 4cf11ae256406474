// A stand-alone SVG plot of a nature scene: the CCT each frame stored (left
// axis) and the three gains that reached the hardware (right axis) over the
// machine clock's time.
#pragma once

#include <iosfwd>
#include <vector>

#include "scene_csv.h"

namespace tintwell_cli {

void WriteSvgPlot(std::ostream& out, const std::vector<FrameRow>& frames);

}  // namespace tintwell_cli
