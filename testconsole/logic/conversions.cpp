#include "conversions.h"

#include <cmath>
#include <limits>

namespace dravik::console {

namespace {
bool is_space(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool is_digit(char c) noexcept { return c >= '0' && c <= '9'; }
} // namespace

int32_t parse_parameter(std::string_view text) noexcept {
    std::size_t i = 0;
    while (i < text.size() && is_space(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Unsigned arithmetic wraps by definition; the result is then reinterpreted as two's
    // complement, which is exactly the 32-bit wrap-around the console promises.
    uint32_t value = 0;
    for (; i < text.size() && is_digit(text[i]); ++i)
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

int32_t truncate_to_int32(double value) noexcept {
    constexpr auto lowest = std::numeric_limits<int32_t>::min();
    constexpr auto highest = std::numeric_limits<int32_t>::max();
    if (std::isnan(value)) return lowest;
    const double t = std::trunc(value);
    if (t <= static_cast<double>(lowest)) return lowest;
    if (t >= static_cast<double>(highest)) return highest;
    return static_cast<int32_t>(t);
}

} // namespace dravik::console
