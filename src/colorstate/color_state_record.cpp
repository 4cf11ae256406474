#include "colorstate/color_state_record.h"

#include <algorithm>

namespace {

// Made when the library loads, before any engine (each is made on first
// use), so destroyed after all of them: their workers record until the
// engines' destructors have waited for them.
ColorStateRecord g_record;

}  // namespace

ColorStateRecord& ColorStateRecord::Instance() {
    return g_record;
}

void ColorStateRecord::RecordRamp(std::wstring display, const RecordedRamp& ramp) {
    const std::lock_guard lock(mutex_);
    state_.ramps.insert_or_assign(std::move(display), ramp);
}

void ColorStateRecord::RecordGains(MonitorKey monitor, const RecordedGains& gains) {
    const std::lock_guard lock(mutex_);
    state_.gains.insert_or_assign(std::move(monitor), gains);
}

void ColorStateRecord::RecordProfile(RecordedProfile profile) {
    const std::lock_guard lock(mutex_);
    state_.profile = std::move(profile);
}

void ColorStateRecord::RecordAmdGamut(AmdGamutKey display, const adl::GamutData& gamut) {
    const std::lock_guard lock(mutex_);
    state_.amdGamuts.insert_or_assign(display, gamut);
}

void ColorStateRecord::RecordUnverifiable(UnverifiableRoad road) {
    const std::lock_guard lock(mutex_);
    state_.unverifiable |= static_cast<unsigned>(road);
}

// The change runs without the lock: it reaches the hardware, whose calls
// record their targets here.
int ColorStateRecord::Applied(ChangeKind kind, ApplyAgain apply) {
    const int result = apply();
    if (result == 0) {
        RecordChange(kind, std::move(apply));
    }
    return result;
}

void ColorStateRecord::RecordChange(ChangeKind kind, ApplyAgain apply) {
    const std::lock_guard lock(mutex_);
    changes_.insert_or_assign(kind, LatestChange{nextOrder_++, std::move(apply)});
}

ColorStateSnapshot ColorStateRecord::Snapshot() const {
    const std::lock_guard lock(mutex_);
    ColorStateSnapshot snapshot = state_;
    std::vector<std::pair<std::uint64_t, std::pair<ChangeKind, ApplyAgain>>> ordered;
    for (const auto& [kind, change] : changes_) {
        ordered.push_back({change.order, {kind, change.apply}});
    }
    std::sort(ordered.begin(), ordered.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& entry : ordered) {
        snapshot.changes.push_back(std::move(entry.second));
    }
    return snapshot;
}
