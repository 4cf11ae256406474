// Reads back what each recorded target holds now, and puts the recorded
// state back on one target: a display's gamma ramp, a monitor's DDC/CI
// gains, the monitor's default profile, an AMD display's gamut.
#pragma once

#include <string>
#include <vector>

#include "colorstate/color_state_record.h"

struct TargetCheck {
    enum class Held { Yes, No, Unread };

    unsigned road = 0;  // one of the TW_COLOR_STATE_* drift bits
    // \\.\DISPLAY1; \\.\DISPLAY1#0 for a physical monitor; the device colour
    // management was asked about; "adapter 0 display 1" for ADL.
    std::wstring target;
    Held held = Held::Unread;
    std::wstring detail;  // what differs, or why it could not be read
};

std::vector<TargetCheck> CheckTargets(const ColorStateSnapshot& snapshot);

// Applies the recorded state of `check`'s target again; false when it could
// not be reached or refused.
bool PutBack(const ColorStateSnapshot& snapshot, const TargetCheck& check);
