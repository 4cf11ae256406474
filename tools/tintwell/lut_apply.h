// `tintwell lut apply` and `tintwell lut reset`: a gamut mode's factory table
// into the Intel driver, or the identity table that switches it off, with
// what reached the driver.
#pragma once

#include <cstdint>
#include <ostream>

namespace tintwell_cli {

int ApplyLut(std::uint32_t mode, std::ostream& out, std::ostream& err);
int ResetLut(std::ostream& out, std::ostream& err);

}  // namespace tintwell_cli
