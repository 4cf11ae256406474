// What ColorField's operations answer, the roads it switches the display on,
// and how it knows the maker's monitors: one definition for the files that
// implement it.
#pragma once

#include <cstdint>
#include <string_view>

namespace color_field {

inline constexpr int kSwitchDone = 0;
inline constexpr int kProfileFailed = 2;
inline constexpr int kDisplayFailed = 3;
// A settings getter's default that no stored value takes.
inline constexpr int kNoSetting = -1;
// 0 off, 1 sRGB, 2 P3, 3 Adobe RGB; only the three gamuts have tables.
inline constexpr std::uint32_t kModeOff = 0;
inline constexpr std::uint32_t kFirstGamutMode = 1;
inline constexpr std::uint32_t kLastGamutMode = 3;
inline constexpr int kDdcciRoad = 0;
inline constexpr int kFirmwareLutRoad = 1;
// A monitor whose code or description holds it is one of the maker's.
inline constexpr std::wstring_view kVendorId = L"ORV";

}  // namespace color_field
