#include "util/fixed_decimals.h"

#include <array>
#include <charconv>

namespace {

constexpr int kDecimals = 6;
// Sign, 309 digits, the point and the decimals, with room to spare.
constexpr std::size_t kLongestText = 330;

}  // namespace

std::wstring FixedDecimals(double value) {
    std::array<char, kLongestText> text{};
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value,
                                            std::chars_format::fixed, kDecimals);
    if (error != std::errc{}) {
        return {};
    }
    return std::wstring(text.data(), end);
}
