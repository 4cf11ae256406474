#include <algorithm>
#include <cwchar>
#include <limits>
#include <optional>
#include <string>

#include "display_type.h"
#include "frame_readback.h"
#include "sim/adl_model.h"
#include "sim/intel_driver_model.h"
#include "sim/machine.h"

namespace tintwell_cli {

namespace {

using Milliseconds = std::chrono::milliseconds;

constexpr std::wstring_view kNatureSection = L"NATURECOLOR";
constexpr std::wstring_view kStoredCctKey = L"SensorColor";
// The Intel ramp: three blocks of 256 entries, red, green, blue; the top
// entry of each is the channel's gain times full scale.
constexpr std::size_t kRampBlock = 256;
constexpr std::size_t kRampEntries = 3 * kRampBlock;
constexpr double kFullScale = 65535.0;
// The AMD road sets a white point: the D65 white scaled by the gains, in
// chromaticity coordinates times 10000.
constexpr double kWhiteX = 0.95047;
constexpr double kWhiteZ = 1.08883;
constexpr double kCoordinateScale = 10000.0;

struct StoredCct {
    Milliseconds time;
    float cct;
};

struct HardwareGains {
    Milliseconds time;
    double r;
    double g;
    double b;
};

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return std::ranges::equal(
        a, b, [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

std::vector<StoredCct> StoredCcts(sim::Machine& machine, Milliseconds since) {
    std::vector<StoredCct> stored;
    for (const sim::ProfileWrite& write : machine.ProfileWrites()) {
        if (write.time >= since && EqualsIgnoringCase(write.section, kNatureSection) &&
            EqualsIgnoringCase(write.key, kStoredCctKey)) {
            stored.push_back({write.time, std::wcstof(write.value.c_str(), nullptr)});
        }
    }
    return stored;
}

std::vector<HardwareGains> IntelGains(sim::Machine& machine) {
    std::vector<HardwareGains> gains;
    for (const sim::GammaRampCall& call : machine.IntelDriver().GammaRampCalls()) {
        if (call.result == S_OK && call.status == 0 && call.ramp.size() == kRampEntries) {
            gains.push_back({call.time, call.ramp[kRampBlock - 1] / kFullScale,
                             call.ramp[2 * kRampBlock - 1] / kFullScale,
                             call.ramp[3 * kRampBlock - 1] / kFullScale});
        }
    }
    return gains;
}

// The gains that give this white point, the largest scaled to 1 as the
// library's merge scales them. Exact up to the coordinates' truncation while
// blue protection is off; with it on, the blue gain shows its effect too.
std::optional<HardwareGains> GainsFromWhitePoint(Milliseconds time, const adl::Point& point) {
    const double x = point.x / kCoordinateScale;
    const double y = point.y / kCoordinateScale;
    if (y <= 0.0) {
        return std::nullopt;
    }
    const double r = x / y / kWhiteX;
    const double g = 1.0;
    const double b = (1.0 - x - y) / y / kWhiteZ;
    const double largest = std::max({r, g, b});
    return HardwareGains{time, r / largest, g / largest, b / largest};
}

std::vector<HardwareGains> AmdGains(sim::Machine& machine) {
    std::vector<HardwareGains> gains;
    for (const sim::AdlGamutSet& set : machine.Adl().GamutSets()) {
        if (set.result != adl::kOk) {
            continue;
        }
        if (const auto frame = GainsFromWhitePoint(set.time, set.gamut.customWhitePoint)) {
            gains.push_back(*frame);
        }
    }
    return gains;
}

std::vector<HardwareGains> HardwareFrames(sim::Machine& machine, int displayType) {
    switch (displayType) {
        case display_type::kIntel:
            return IntelGains(machine);
        case display_type::kAmd:
            return AmdGains(machine);
        default:
            return {};
    }
}

// Each frame stores its CCT, then reaches the hardware (or not) before the
// next frame stores its own: a frame takes the first hardware record from
// its own time up to the next frame's time.
SceneFrames Pair(const std::vector<StoredCct>& stored, const std::vector<HardwareGains>& hardware,
                 Milliseconds since) {
    SceneFrames frames;
    auto next = hardware.begin();
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const Milliseconds until = i + 1 < stored.size() ? stored[i + 1].time : Milliseconds::max();
        next = std::find_if(next, hardware.end(),
                            [&](const HardwareGains& h) { return h.time >= stored[i].time; });
        if (next == hardware.end() || next->time > until) {
            ++frames.withoutHardware;
            continue;
        }
        frames.applied.push_back(
            {(stored[i].time - since).count(), stored[i].cct, next->r, next->g, next->b});
        ++next;
    }
    return frames;
}

}  // namespace

std::size_t CountStoredCcts(sim::Machine& machine, Milliseconds since) {
    return StoredCcts(machine, since).size();
}

SceneFrames ReadBackFrames(sim::Machine& machine, Milliseconds since, int displayType) {
    return Pair(StoredCcts(machine, since), HardwareFrames(machine, displayType), since);
}

}  // namespace tintwell_cli
