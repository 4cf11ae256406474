#include "white_point_record.h"

#include <array>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace white_point_record {

namespace {

constexpr std::size_t kHeader1Length = 4;
constexpr std::size_t kHeader2Length = 2;
constexpr std::size_t kNumberDigits = 4;
constexpr std::size_t kYearDigits = 4;
constexpr std::size_t kWeekDigits = 2;
constexpr unsigned kMaxNumber = 9999;
constexpr double kCoordinateScale = 10000.0;
constexpr double kMaxCoordinate = 0.9999;
constexpr unsigned kChecksumModulus = 256;

void CheckLength(std::string_view field, std::string_view text, std::size_t length) {
    if (text.size() != length) {
        throw std::invalid_argument(std::string(field) + " must have " + std::to_string(length) +
                                    " characters: " + std::string(text));
    }
}

std::string Decimal(unsigned value, std::size_t width) {
    const std::string text = std::to_string(value);
    return std::string(width - text.size(), '0') + text;
}

std::string Number(std::string_view field, unsigned value) {
    if (value > kMaxNumber) {
        throw std::invalid_argument(std::string(field) +
                                    " must be 0-9999: " + std::to_string(value));
    }
    return Decimal(value, kNumberDigits);
}

// NaN fails both comparisons, so it is refused too.
std::string Coordinate(std::string_view field, double value) {
    if (!(value >= 0.0 && value <= kMaxCoordinate)) {
        throw std::invalid_argument(std::string(field) +
                                    " must be 0-0.9999: " + std::to_string(value));
    }
    return Decimal(static_cast<unsigned>(std::lround(value * kCoordinateScale)), kNumberDigits);
}

}  // namespace

std::string MakeRecord(const lut_block::PanelIdentity& panel, const Measurement& measurement,
                       std::string_view header1, std::string_view header2, unsigned value9,
                       unsigned value10, std::string_view trailing) {
    CheckLength("header 1", header1, kHeader1Length);
    CheckLength("header 2", header2, kHeader2Length);
    lut_block::CheckPanelIdentity(panel);
    const std::array<std::pair<const char*, const Chromaticity*>, 4> points{{
        {"white", &measurement.white},
        {"red", &measurement.red},
        {"green", &measurement.green},
        {"blue", &measurement.blue},
    }};
    std::string record = std::string(header1) + std::string(header2);
    for (const auto& [name, point] : points) {
        record += Coordinate(std::string(name) + " x", point->x);
        record += Coordinate(std::string(name) + " y", point->y);
    }
    record += Number("value 9", value9) + Number("value 10", value10);
    record += panel.serial + Decimal(panel.year, kYearDigits) + Decimal(panel.week, kWeekDigits) +
              panel.vendor;
    record += Checksum(record);
    record += trailing;
    return record;
}

std::string Checksum(std::string_view first64) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    unsigned sum = 0;
    for (char c : first64) {
        sum += static_cast<unsigned char>(c);
    }
    sum %= kChecksumModulus;
    return {kHex[sum >> 4], kHex[sum & 0xF]};
}

Measurement ReferencePanelMeasurement() {
    return {{0.3096, 0.3254}, {0.6800, 0.3200}, {0.2650, 0.6900}, {0.1500, 0.0600}};
}

}  // namespace white_point_record
