// Linux stand-in for <basetsd.h>: the integer types named by their width.
#pragma once

#include <cstdint>

using UINT16 = std::uint16_t;
using UINT32 = std::uint32_t;
using UINT64 = std::uint64_t;
