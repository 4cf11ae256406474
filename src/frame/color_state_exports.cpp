// Beyond the 118 exports: what the library applied is read back, applied
// again, and guarded.
#include <cstdint>

#include "colorfield/color_field.h"
#include "colorfield/color_field_codes.h"
#include "colorstate/color_state_guard.h"
#include "colorstate/color_state_record.h"
#include "colorstate/color_state_targets.h"
#include "frame/guard.h"
#include "log/log_line.h"
#include "settings/settings_accessors.h"
#include "tintwell/tintwell.h"

namespace {

// Roads whose target can be read back, when it answers.
constexpr unsigned kReadableRoads = TW_COLOR_STATE_DRIFTED;

int Verify(unsigned int* drifted) {
    if (drifted == nullptr) {
        Log(log_level::kError, "VerifyColorState") << L"drifted is nullptr!";
        return -1;
    }
    unsigned bits = 0;
    bool readable = false;
    bool read = false;
    for (const TargetCheck& check : CheckTargets(ColorStateRecord::Instance().Snapshot())) {
        if (check.held != TargetCheck::Held::Yes) {
            bits |= check.road;
        }
        if ((check.road & kReadableRoads) != 0) {
            readable = true;
            read = read || check.held != TargetCheck::Held::Unread;
        }
    }
    *drifted = bits;
    if (readable && !read) {
        Log(log_level::kError, "VerifyColorState")
            << L"nothing the library applied could be read back";
        return -1;
    }
    return 0;
}

// The display side of the stored gamut mode, for a process that switched none.
int RestoreStoredGamut() {
    auto& settings = ColorFieldSettings();
    const int mode = settings.GetCurrentColorFieldMode(color_field::kNoSetting);
    const int setType = settings.GetColorFieldSetType(color_field::kNoSetting);
    if (mode < 0 || setType < 0) {
        return 0;
    }
    return ColorField::Instance().SwitchDisplayerColorField(static_cast<std::uint32_t>(mode),
                                                            static_cast<std::uint32_t>(setType));
}

int Restore() {
    ColorStateGuard::Instance().Forgive();
    const ColorStateSnapshot snapshot = ColorStateRecord::Instance().Snapshot();
    int first = 0;
    bool gamut = false;
    for (const auto& [kind, apply] : snapshot.changes) {
        gamut = gamut || kind == ChangeKind::Gamut;
        if (const int result = apply(); result != 0 && first == 0) {
            first = result;
        }
    }
    if (!gamut) {
        if (const int result = RestoreStoredGamut(); result != 0 && first == 0) {
            first = result;
        }
    }
    return first;
}

}  // namespace

int VerifyColorState(unsigned int* drifted) {
    return Guarded("VerifyColorState", L"VerifyColorState Exception.", -1,
                   [drifted] { return Verify(drifted); });
}

int RestoreColorState() {
    return Guarded("RestoreColorState", L"RestoreColorState Exception.", -1,
                   [] { return Restore(); });
}

int StartColorStateGuard(unsigned int intervalMs) {
    return Guarded("StartColorStateGuard", L"StartColorStateGuard Exception.", -1,
                   [intervalMs] { return ColorStateGuard::Instance().Start(intervalMs); });
}

int StopColorStateGuard() {
    return Guarded("StopColorStateGuard", L"StopColorStateGuard Exception.", -1,
                   [] { return ColorStateGuard::Instance().Stop(); });
}
