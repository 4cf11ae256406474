// Whole numbers read from a machine description. nlohmann's conversion of a
// number written with a fraction or an exponent to an integer type is a
// plain cast, undefined when the value lies outside the type, and a larger
// integer is cut to the type's width; a description gets an exception
// naming the key instead.
#pragma once

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <type_traits>

#include <nlohmann/json.hpp>

namespace sim {

template <typename T>
T WholeNumber(const nlohmann::json& value, const std::string& what) {
    static_assert(std::is_integral_v<T> && !std::is_same_v<T, bool>);
    using Limits = std::numeric_limits<T>;
    const auto refuse = [&what] {
        throw std::invalid_argument(what + ": not a whole number within " +
                                    std::to_string(Limits::min()) + " ... " +
                                    std::to_string(Limits::max()));
    };
    if (value.is_number_float()) {
        // Both bounds are powers of two, exactly representable as doubles.
        const double above = std::ldexp(1.0, Limits::digits);
        const double below = Limits::is_signed ? -above : 0.0;
        const double number = value.get<double>();
        if (!(number >= below && number < above) || number != std::trunc(number)) {
            refuse();
        }
        return static_cast<T>(number);
    }
    if (value.is_number_unsigned()) {
        if (value.get<std::uint64_t>() > static_cast<std::uint64_t>(Limits::max())) {
            refuse();
        }
    } else if (value.is_number_integer()) {
        const auto number = value.get<std::int64_t>();
        if (number < static_cast<std::int64_t>(Limits::min()) ||
            (number > 0 &&
             static_cast<std::uint64_t>(number) > static_cast<std::uint64_t>(Limits::max()))) {
            refuse();
        }
    }
    return value.get<T>();
}

// The member `key` of `object`, or `fallback` when it has none.
template <typename T>
T WholeNumber(const nlohmann::json& object, const std::string& key, T fallback) {
    if (!object.is_object()) {
        throw std::invalid_argument(key + ": its part of the description is not an object");
    }
    const auto found = object.find(key);
    return found == object.end() ? fallback : WholeNumber<T>(*found, key);
}

}  // namespace sim
