// SetDeviceGammaRamp may answer TRUE and keep the ramp the display had:
// Windows refuses ramps it judges too far from identity, display events
// reset ramps, and HDR modes leave its behaviour undefined. Reading the ramp
// back is the only way to know what the display shows.
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

inline constexpr std::size_t kGammaRampValues = 3 * 256;

using GammaRampReader = BOOL(WINAPI*)(HDC, LPVOID);

// The first entry of `held` that is not `loaded`'s, as "red[1] holds 257,
// loaded 256"; nothing when the two are equal.
std::optional<std::wstring> FirstDifference(std::span<const WORD, kGammaRampValues> held,
                                            std::span<const WORD, kGammaRampValues> loaded);

// Reads the ramp of `dc` back with `read`. When it cannot be read or is not
// `loaded`, logs one warning from `source` naming `display` and the first
// entry that differs. True when the display holds `loaded`.
bool DisplayHoldsRamp(HDC dc, std::span<const WORD, kGammaRampValues> loaded, GammaRampReader read,
                      std::wstring_view display, const char* source);
