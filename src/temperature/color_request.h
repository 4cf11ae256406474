#pragma once

#include <cstdint>

// The argument set of every SetTemperatureFor... road: channel gains
// (1.0 = unchanged) and the blue-light reduction the caller asks for.
struct ColorRequest {
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
    std::uint32_t blueProtectLevel = 0;
    double blueProtectRatio = 1.0;
};

// The colour settings the engines start from.
struct ColorConfigInfo {
    std::int32_t blueProtectLevel = 0;
    std::int32_t blueProtectValue = 0;  // thousandths
    double r = 1.0;
    double g = 1.0;
    double b = 1.0;
};
