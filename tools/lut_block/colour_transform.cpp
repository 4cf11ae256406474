#include "colour_transform.h"

#include <algorithm>
#include <cmath>

namespace lut_block {

namespace {

using Matrix = std::array<double, 9>;

constexpr Chromaticity kD65{0.3127, 0.3290};
constexpr Primaries kSrgb{{0.640, 0.330}, {0.300, 0.600}, {0.150, 0.060}, kD65};
constexpr Primaries kDisplayP3{{0.680, 0.320}, {0.265, 0.690}, {0.150, 0.060}, kD65};
constexpr Primaries kAdobeRgb{{0.640, 0.330}, {0.210, 0.710}, {0.150, 0.060}, kD65};
constexpr Primaries kNativePanel{{0.690, 0.305}, {0.195, 0.730}, {0.148, 0.048}, kD65};

std::array<double, 3> ToXyz(Chromaticity c) {
    return {c.x / c.y, 1.0, (1.0 - c.x - c.y) / c.y};
}

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix product{};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            for (int k = 0; k < 3; ++k) {
                product[row * 3 + col] += a[row * 3 + k] * b[k * 3 + col];
            }
        }
    }
    return product;
}

Matrix Inverse(const Matrix& m) {
    const double a = m[0], b = m[1], c = m[2], d = m[3], e = m[4], f = m[5], g = m[6], h = m[7],
                 i = m[8];
    const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    return {(e * i - f * h) / det, (c * h - b * i) / det, (b * f - c * e) / det,
            (f * g - d * i) / det, (a * i - c * g) / det, (c * d - a * f) / det,
            (d * h - e * g) / det, (b * g - a * h) / det, (a * e - b * d) / det};
}

// Linear RGB to XYZ, scaled so that RGB white gives the white point with Y = 1.
Matrix RgbToXyz(const Primaries& p) {
    const auto r = ToXyz(p.red), g = ToXyz(p.green), b = ToXyz(p.blue), w = ToXyz(p.white);
    const Matrix columns{r[0], g[0], b[0], r[1], g[1], b[1], r[2], g[2], b[2]};
    const Matrix inverse = Inverse(columns);
    std::array<double, 3> scale{};
    for (int row = 0; row < 3; ++row) {
        scale[row] =
            inverse[row * 3] * w[0] + inverse[row * 3 + 1] * w[1] + inverse[row * 3 + 2] * w[2];
    }
    Matrix scaled = columns;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            scaled[row * 3 + col] *= scale[col];
        }
    }
    return scaled;
}

std::uint16_t Encode(double linear, double gamma) {
    const double clipped = std::clamp(linear, 0.0, 1.0);
    return static_cast<std::uint16_t>(std::lround(std::pow(clipped, 1.0 / gamma) * kMaxLevel));
}

}  // namespace

Primaries NativePanelPrimaries() {
    return kNativePanel;
}

const Primaries* TargetPrimaries(int mode) {
    switch (mode) {
        case 1:
            return &kSrgb;
        case 2:
            return &kDisplayP3;
        case 3:
            return &kAdobeRgb;
        default:
            return nullptr;
    }
}

ColourTransform TransformFor(const Primaries& panel, int mode) {
    ColourTransform transform;
    if (const Primaries* target = TargetPrimaries(mode)) {
        transform.matrix = Multiply(Inverse(RgbToXyz(panel)), RgbToXyz(*target));
    }
    return transform;
}

ColourTransform DefaultTransform(int mode) {
    return TransformFor(kNativePanel, mode);
}

std::vector<GridEntry> BuildGrid(const ColourTransform& transform) {
    std::vector<GridEntry> grid;
    grid.reserve(kEntryCount);
    const auto decode = [&transform](int n) {
        return std::pow(n / double{kGridPoints - 1}, transform.gamma);
    };
    const Matrix& m = transform.matrix;
    for (int i = 0; i < kGridPoints; ++i) {
        for (int j = 0; j < kGridPoints; ++j) {
            for (int k = 0; k < kGridPoints; ++k) {
                const double in[3] = {decode(i), decode(j), decode(k)};
                GridEntry entry{};
                for (int row = 0; row < 3; ++row) {
                    entry[row] =
                        Encode(m[row * 3] * in[0] + m[row * 3 + 1] * in[1] + m[row * 3 + 2] * in[2],
                               transform.gamma);
                }
                grid.push_back(entry);
            }
        }
    }
    return grid;
}

}  // namespace lut_block
