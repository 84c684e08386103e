#include "core/decimal_rounding.h"

#include <charconv>
#include <system_error>

namespace corvane {

// Parsing "1e<n>" yields the nearest double to 10ⁿ; the parser reports range
// errors for overflow and underflow without a value, which are filled in here.
double PowerOfTen(std::int32_t n) noexcept {
    if (n > 400) return HUGE_VAL;
    if (n < -400) return 0.0;
    char text[16] = {'1', 'e'};
    const auto [end, ec] = std::to_chars(text + 2, text + sizeof text, n);
    if (ec != std::errc()) return n > 0 ? HUGE_VAL : 0.0;
    double value = 0.0;
    const std::from_chars_result parsed = std::from_chars(text, end, value);
    if (parsed.ec != std::errc()) return n > 0 ? HUGE_VAL : 0.0;
    return value;
}

}  // namespace corvane
