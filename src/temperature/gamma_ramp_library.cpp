#include "temperature/gamma_ramp_library.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "colorstate/color_state_record.h"
#include "discovery/display_detection.h"
#include "platform/display_handles.h"
#include "temperature/gamma_ramp_readback.h"

namespace {

constexpr std::size_t kRampEntries = 256;
constexpr int kRampStep = 256;
constexpr int kRampLimit = 65535;
constexpr const wchar_t* kGdi32InSystemDirectory = L"\\gdi32.dll";

// A gain is a slope between 0 and 1; anything else cannot make a ramp entry.
float UsableGain(float gain) {
    return std::isnan(gain) ? 0.0f : std::clamp(gain, 0.0f, 1.0f);
}

// The first adapter attached to the desktop or primary.
std::optional<DISPLAY_DEVICEW> RampAdapter() {
    for (const auto& adapter : discovery::DisplayAdapters()) {
        if ((adapter.StateFlags &
             (DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | DISPLAY_DEVICE_PRIMARY_DEVICE)) != 0) {
            return adapter;
        }
    }
    return std::nullopt;
}

}  // namespace

GammaRampLibrary::~GammaRampLibrary() = default;

GammaRamp GammaRampLibrary::BuildLinearRamp(float redGain, float greenGain, float blueGain) {
    const float gains[] = {UsableGain(redGain), UsableGain(greenGain), UsableGain(blueGain)};
    GammaRamp ramp{};
    for (std::size_t channel = 0; channel < 3; ++channel) {
        for (std::size_t i = 0; i < kRampEntries; ++i) {
            const auto value =
                static_cast<float>(std::min(static_cast<int>(i) * kRampStep, kRampLimit));
            ramp[channel * kRampEntries + i] = static_cast<WORD>(value * gains[channel]);
        }
    }
    return ramp;
}

bool GammaRampLibrary::LoadLinearRamp(float redGain, float greenGain, float blueGain) {
    const auto adapter = RampAdapter();
    if (!adapter) {
        return false;
    }
    const UniqueDc dc(CreateDCW(nullptr, adapter->DeviceName, nullptr, nullptr));
    if (!dc) {
        return false;
    }
    GammaRamp ramp = BuildLinearRamp(redGain, greenGain, blueGain);
    if (!EnsureLoaded() || !setDeviceGammaRamp_(dc.get(), ramp.data())) {
        return false;
    }
    ColorStateRecord::Instance().RecordRamp(adapter->DeviceName, ramp);
    DisplayHoldsRamp(dc.get(), ramp, getDeviceGammaRamp_, adapter->DeviceName,
                     "GammaRampLibrary::LoadLinearRamp");
    return true;
}

bool GammaRampLibrary::EnsureLoaded() {
    if (module_) {
        return true;
    }
    const auto directory = SystemDirectory();
    if (!directory) {
        return false;
    }
    UniqueModule module(LoadLibraryW((*directory + kGdi32InSystemDirectory).c_str()));
    if (!module) {
        return false;
    }
    const auto getRamp = EntryPoint<GammaRampFunction>(module.get(), "GetDeviceGammaRamp");
    const auto setRamp = EntryPoint<GammaRampFunction>(module.get(), "SetDeviceGammaRamp");
    if (getRamp == nullptr || setRamp == nullptr) {
        return false;
    }
    module_ = std::move(module);
    getDeviceGammaRamp_ = getRamp;
    setDeviceGammaRamp_ = setRamp;
    return true;
}
