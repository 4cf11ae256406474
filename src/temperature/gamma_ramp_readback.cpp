#include "temperature/gamma_ramp_readback.h"

#include <algorithm>
#include <array>

#include "log/log_line.h"

namespace {

constexpr std::size_t kEntriesPerChannel = 256;
constexpr const wchar_t* kChannelNames[] = {L"red", L"green", L"blue"};

}  // namespace

std::optional<std::wstring> FirstDifference(std::span<const WORD, kGammaRampValues> held,
                                            std::span<const WORD, kGammaRampValues> loaded) {
    const auto [heldAt, loadedAt] = std::mismatch(held.begin(), held.end(), loaded.begin());
    if (heldAt == held.end()) {
        return std::nullopt;
    }
    const auto index = static_cast<std::size_t>(heldAt - held.begin());
    return std::wstring(kChannelNames[index / kEntriesPerChannel]) + L"[" +
           std::to_wstring(index % kEntriesPerChannel) + L"] holds " + std::to_wstring(*heldAt) +
           L", loaded " + std::to_wstring(*loadedAt);
}

bool DisplayHoldsRamp(HDC dc, std::span<const WORD, kGammaRampValues> loaded, GammaRampReader read,
                      std::wstring_view display, const char* source) {
    std::array<WORD, kGammaRampValues> held{};
    if (read(dc, held.data()) == FALSE) {
        Log(log_level::kWarning, source)
            << L"The gamma ramp could not be read back; whether the display shows it is "
               L"unknown. display:"
            << display;
        return false;
    }
    const auto difference = FirstDifference(held, loaded);
    if (!difference) {
        return true;
    }
    Log(log_level::kWarning, source)
        << L"The display kept another gamma ramp than the one loaded. display:" << display
        << L", first differing entry: " << *difference;
    return false;
}
