#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace lut_block {

using Digest = std::array<std::uint8_t, 32>;

Digest Sha256(std::span<const std::uint8_t> bytes);

}  // namespace lut_block
