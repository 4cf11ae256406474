#include "whitepoint/white_point_gains.h"

#include <algorithm>
#include <cmath>

namespace {

using Vector = std::array<float, 3>;
using Matrix = std::array<Vector, 3>;  // rows

constexpr float kCoordinateScale = 10000.0f;
constexpr float kD65X = 0.3127f;
constexpr float kD65Y = 0.329f;
constexpr double kEncodingExponent = 0.45454545454545453;  // 1 / 2.2
constexpr float kFullScale = 255.0f;
constexpr float kSmallestDeterminant = 1e-6f;

struct Chromaticity {
    float x;
    float y;
};

Chromaticity Measured(std::uint32_t x, std::uint32_t y) {
    return {static_cast<float>(x) / kCoordinateScale, static_cast<float>(y) / kCoordinateScale};
}

// XYZ of a chromaticity at luminance 1.
Vector WhiteXyz(Chromaticity white) {
    return {white.x / white.y, 1.0f, (1.0f - white.x - white.y) / white.y};
}

Matrix PrimariesMatrix(Chromaticity red, Chromaticity green, Chromaticity blue) {
    const auto z = [](Chromaticity c) { return 1.0f - c.x - c.y; };
    return {{{red.x, green.x, blue.x}, {red.y, green.y, blue.y}, {z(red), z(green), z(blue)}}};
}

float Determinant(const Matrix& m) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// The adjugate divided by the determinant; nothing for a matrix too close
// to singular to give a meaningful inverse.
std::optional<Matrix> Inverse(const Matrix& m) {
    const float determinant = Determinant(m);
    if (!(std::fabs(determinant) >= kSmallestDeterminant)) {
        return std::nullopt;
    }
    const auto cofactor = [&](int row, int column) {
        const int r0 = (row + 1) % 3;
        const int r1 = (row + 2) % 3;
        const int c0 = (column + 1) % 3;
        const int c1 = (column + 2) % 3;
        return m[r0][c0] * m[r1][c1] - m[r0][c1] * m[r1][c0];
    };
    Matrix inverse{};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            inverse[row][column] = cofactor(column, row) / determinant;
        }
    }
    return inverse;
}

Vector Times(const Matrix& m, const Vector& v) {
    Vector product{};
    for (int row = 0; row < 3; ++row) {
        product[row] = m[row][0] * v[0] + m[row][1] * v[1] + m[row][2] * v[2];
    }
    return product;
}

// The panel's primaries scaled so that full drive of all three gives its
// measured white.
std::optional<Matrix> PanelMatrix(const WhitePointAdjustInfo& record) {
    Matrix m =
        PrimariesMatrix(Measured(record.redX, record.redY), Measured(record.greenX, record.greenY),
                        Measured(record.blueX, record.blueY));
    const auto inverse = Inverse(m);
    if (!inverse) {
        return std::nullopt;
    }
    const Vector scale = Times(*inverse, WhiteXyz(Measured(record.whiteX, record.whiteY)));
    for (auto& row : m) {
        for (int column = 0; column < 3; ++column) {
            row[column] *= scale[column];
        }
    }
    return m;
}

}  // namespace

std::optional<std::array<float, 3>> WhitePointGains(const WhitePointAdjustInfo& record) {
    if (record.whiteY == 0) {
        return std::nullopt;
    }
    const auto panel = PanelMatrix(record);
    const auto inverse = panel ? Inverse(*panel) : std::nullopt;
    if (!inverse) {
        return std::nullopt;
    }
    const Vector drive = Times(*inverse, WhiteXyz({kD65X, kD65Y}));
    Vector encoded{};
    for (int i = 0; i < 3; ++i) {
        if (!(drive[i] >= 0.0f) || !std::isfinite(drive[i])) {
            return std::nullopt;
        }
        encoded[i] = static_cast<float>(std::pow(drive[i], kEncodingExponent) * kFullScale);
    }
    const double largest = *std::max_element(encoded.begin(), encoded.end());
    if (!(largest > 0.0)) {
        return std::nullopt;
    }
    std::array<float, 3> gains{};
    for (int i = 0; i < 3; ++i) {
        gains[i] = static_cast<float>(encoded[i] / largest);
    }
    return gains;
}
