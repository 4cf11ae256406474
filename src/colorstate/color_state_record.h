// What the library has applied in this process, road by road: the targets
// that can be read back (each display's gamma ramp, each served monitor's
// DDC/CI gains, the monitor's default profile after a gamut switch, each AMD
// display's white point), the roads that cannot be, and how to apply again
// the last thing each kind of change did. The guard and the verify and
// restore exports work from it; with neither called it costs one short lock
// per change.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/adl_types.h"

using RecordedRamp = std::array<WORD, 3 * 256>;

struct RecordedGains {
    DWORD r = 0;
    DWORD g = 0;
    DWORD b = 0;
    bool operator==(const RecordedGains&) const = default;
};

// A physical monitor: the display (\\.\DISPLAY1) it is behind and its index
// among that display's physical monitors.
using MonitorKey = std::pair<std::wstring, std::size_t>;

// An AMD display's gamut as ADL numbers it: adapter index, display index,
// gamut reference.
using AmdGamutKey = std::tuple<int, int, int>;

struct RecordedProfile {
    std::wstring device;    // what colour management was asked about
    std::wstring fileName;  // the default profile's file name after the switch
};

// Roads whose result the library cannot read back.
enum class UnverifiableRoad : unsigned { IntelDriver = 1, HardwareLibrary = 2 };

// The kinds of change that restoring applies again, each the latest of its kind.
enum class ChangeKind { Temperature, WhitePoint, Gamut, NatureFrame };

using ApplyAgain = std::function<int()>;

struct ColorStateSnapshot {
    std::map<std::wstring, RecordedRamp> ramps;
    std::map<MonitorKey, RecordedGains> gains;
    std::optional<RecordedProfile> profile;
    std::map<AmdGamutKey, adl::GamutData> amdGamuts;
    unsigned unverifiable = 0;  // UnverifiableRoad bits
    // In the order they were last applied.
    std::vector<std::pair<ChangeKind, ApplyAgain>> changes;
};

class ColorStateRecord {
  public:
    static ColorStateRecord& Instance();

    void RecordRamp(std::wstring display, const RecordedRamp& ramp);
    void RecordGains(MonitorKey monitor, const RecordedGains& gains);
    void RecordProfile(RecordedProfile profile);
    void RecordAmdGamut(AmdGamutKey display, const adl::GamutData& gamut);
    void RecordUnverifiable(UnverifiableRoad road);

    // Runs `apply`; when it succeeds (0), it becomes the change of its kind
    // that restoring applies again. Returns its result.
    int Applied(ChangeKind kind, ApplyAgain apply);
    // `apply` is what restoring does for `kind` from now on.
    void RecordChange(ChangeKind kind, ApplyAgain apply);

    ColorStateSnapshot Snapshot() const;

    ColorStateRecord() = default;
    ColorStateRecord(const ColorStateRecord&) = delete;
    ColorStateRecord& operator=(const ColorStateRecord&) = delete;

  private:
    struct LatestChange {
        std::uint64_t order = 0;
        ApplyAgain apply;
    };

    mutable std::mutex mutex_;
    // Guarded by mutex_; the snapshot's changes stay empty here.
    ColorStateSnapshot state_;
    std::map<ChangeKind, LatestChange> changes_;
    std::uint64_t nextOrder_ = 0;
};
