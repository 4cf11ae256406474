// The graphics vendor behind the panel, which decides every colour road.
#pragma once

namespace discovery {

enum DisplayType : int {
    kIntelDisplay = 0,
    kAmdOnTalvik = 1,
    kMorvenDevice = 2,
    kOtherAmd = 3,
    kNoDisplayType = -1,
};

// One of DisplayType, from the device type and the video controllers WMI
// lists; kNoDisplayType when none is found or the query fails.
int GetDisplayType();

}  // namespace discovery
