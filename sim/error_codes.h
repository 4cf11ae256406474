// Windows error codes the machine answers with that no call site of the
// library names, so the platform headers leave them out. Windows' values.
#pragma once

#include <minwindef.h>

namespace sim {

constexpr DWORD kErrorGenFailure = 31;        // ERROR_GEN_FAILURE
constexpr DWORD kErrorNotSupported = 50;      // ERROR_NOT_SUPPORTED
constexpr DWORD kErrorInvalidProfile = 2011;  // ERROR_INVALID_PROFILE
// ERROR_GRAPHICS_I2C_ERROR_TRANSMITTING_DATA: dxva2's answer when a monitor
// does not take its DDC/CI request on the I2C bus.
constexpr DWORD kErrorI2cTransmitting = 0xC0262582;

}  // namespace sim
