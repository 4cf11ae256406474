#include "temperature/rgb_to_xy_for_amd.h"

#include <algorithm>
#include <cmath>

#include "log/log_line.h"

namespace {

constexpr double kNegligible = 1e-6;

}  // namespace

RGBToxyForAMD& RGBToxyForAMD::Instance() {
    static RGBToxyForAMD instance;
    return instance;
}

void RGBToxyForAMD::RgbNormalize(const RgbGains& in, RgbGains& out) const {
    float largest = std::max({in[0], in[1], in[2]});
    if (std::abs(static_cast<double>(largest)) <= kNegligible) {
        Log(3, "RGBToxyForAMD::RgbNormalize") << L"maxVal is 0, use default";
        largest = 1.0f;
    }
    for (std::size_t i = 0; i < in.size(); ++i) {
        out[i] = in[i] / largest;
    }
}
