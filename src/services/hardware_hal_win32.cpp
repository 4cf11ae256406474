// The hardware library on Windows. The maker's library reaches the panel
// through its own firmware and driver; here a generic machine offers only what
// Windows has:
// - HalInit hands out a zeroed block from malloc (the caller frees it with
//   free) and succeeds;
// - class 6 (r, g, b, blue-protect level, blue-protect ratio as five floats)
//   loads a linear gamma ramp into the primary display and reads it back;
// - classes 2 and 5 need the maker's firmware and are refused with a warning;
// - anything else is refused.
// (SmBiosHelper lives in its own files.)
#include "log/log_line.h"
#include "services/hardware_hal.h"

#include <windows.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

#include "colorstate/color_state_record.h"
#include "services/log_helper.h"
#include "temperature/gamma_ramp_readback.h"

namespace {

constexpr int kVersion = 16;
constexpr std::size_t kBlockSize = 64;
constexpr int kClassTemperature = 2;
constexpr int kClassColorAdjust = 5;
constexpr int kClassChannelGains = 6;
constexpr int kChannelGainsSize = 5 * sizeof(float);

struct ChannelGains {
    float r;
    float g;
    float b;
    float blueProtectLevel;
    float blueProtectRatio;
};
static_assert(sizeof(ChannelGains) == kChannelGainsSize);

// A gain as a slope of the ramp: 0 … 1, anything else (and not a number)
// brought into that range.
float Slope(double gain) {
    if (!(gain > 0.0)) {
        return 0.0f;
    }
    return gain > 1.0 ? 1.0f : static_cast<float>(gain);
}

using GammaRamp = std::array<WORD, kGammaRampValues>;
constexpr std::size_t kRampEntries = 256;

// The primary display's device context, released on every path.
class ScreenDc {
  public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc_ != nullptr) {
            ReleaseDC(nullptr, dc_);
        }
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC Get() const { return dc_; }

  private:
    HDC dc_;
};

// The screen's DC draws on the primary display: its device name, as the
// warning of a ramp it kept names it.
std::wstring PrimaryDisplayName() {
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    const HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (primary == nullptr || !GetMonitorInfoW(primary, &info)) {
        return L"DISPLAY";
    }
    return info.szDevice;
}

int SetChannelGains(const ChannelGains& gains) {
    double blue = gains.b;
    if (gains.blueProtectLevel != 0.0f) {
        blue = static_cast<float>(gains.b * static_cast<double>(gains.blueProtectRatio) *
                                  gains.blueProtectLevel / 255.0);
    }
    const float slopes[3] = {Slope(gains.r), Slope(gains.g), Slope(blue)};
    GammaRamp ramp{};
    for (std::size_t i = 0; i < kRampEntries; ++i) {
        const float v = static_cast<float>(i * 256);
        for (std::size_t c = 0; c < 3; ++c) {
            ramp[c * kRampEntries + i] = static_cast<WORD>(v * slopes[c]);
        }
    }
    ScreenDc screen;
    if (screen.Get() == nullptr || !SetDeviceGammaRamp(screen.Get(), ramp.data())) {
        return 0;
    }
    const std::wstring display = PrimaryDisplayName();
    ColorStateRecord::Instance().RecordRamp(display, ramp);
    DisplayHoldsRamp(screen.Get(), ramp, &GetDeviceGammaRamp, display, "HalSetInformation");
    return 1;
}

}  // namespace

int HalInit(int version, void** context) {
    if (version != kVersion || context == nullptr) {
        return 0;
    }
    void* block = std::calloc(1, kBlockSize);
    if (block == nullptr) {
        return 0;
    }
    *context = block;
    return 1;
}

int HalSetInformation(int version, void* context, int informationClass, void* data, int size,
                      DWORD*) {
    if (version != kVersion || context == nullptr) {
        return 0;
    }
    switch (informationClass) {
        case kClassChannelGains: {
            if (data == nullptr || size != kChannelGainsSize) {
                return 0;
            }
            ChannelGains gains;
            std::memcpy(&gains, data, sizeof gains);
            return SetChannelGains(gains);
        }
        case kClassTemperature:
        case kClassColorAdjust:
            LogMessage(log_level::kWarning,
                       informationClass == kClassTemperature
                           ? L"Information class 2 (temperature) needs the maker's firmware, "
                             L"which this machine does not have: refused(HalSetInformation)"
                           : L"Information class 5 (colour adjust) needs the maker's firmware, "
                             L"which this machine does not have: refused(HalSetInformation)");
            return 0;
        default:
            return 0;
    }
}
