// What Little CMS makes of a colour profile's bytes: the machine's mscms and
// gdi32 judge profiles by it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace sim {

enum class ProfileCheck {
    Unreadable,  // not an ICC profile Little CMS opens
    Damaged,     // opens, but its tags give no transform to sRGB
    Valid,
};

ProfileCheck CheckProfile(std::span<const std::uint8_t> bytes);

// A file's whole content; nothing when it is not a readable regular file.
std::optional<std::vector<std::uint8_t>> ReadProfileFile(const std::filesystem::path& file);

}  // namespace sim
