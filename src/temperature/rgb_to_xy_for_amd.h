// The normalisation the nature-colour merge applies to gains before they
// take the AMD road: the largest channel becomes 1.0.
#pragma once

#include <array>

using RgbGains = std::array<float, 3>;

class RGBToxyForAMD {
  public:
    static RGBToxyForAMD& Instance();

    RGBToxyForAMD() = default;
    virtual ~RGBToxyForAMD() = default;
    RGBToxyForAMD(const RGBToxyForAMD&) = delete;
    RGBToxyForAMD& operator=(const RGBToxyForAMD&) = delete;

    // Divides each channel by the largest; without a largest channel worth
    // dividing by, the gains pass unchanged and the fact is logged.
    void RgbNormalize(const RgbGains& in, RgbGains& out) const;
};
