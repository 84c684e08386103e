// Rounding to a number of decimal places, shared by the text output and the
// random fill: floor(10ⁿ·x + 0.5) × (1/10ⁿ), with 10ⁿ and its reciprocal
// formed once per call.
#pragma once

#include <cmath>
#include <cstdint>

namespace corvane {

// 10ⁿ as the correctly rounded double: exact up to 10²², +∞ from 10³⁰⁹ on,
// 0 below the smallest subnormal. The same bits on every build (no libm pow).
double PowerOfTen(std::int32_t n) noexcept;

class DecimalRounding {
public:
    explicit DecimalRounding(std::int32_t places) noexcept : scale_(PowerOfTen(places)), recip_(1.0 / scale_) {}

    double scale() const noexcept { return scale_; }
    double recip() const noexcept { return recip_; }

    // Round half up (ties towards +∞), ending with a multiplication by the
    // reciprocal, never a division by the scale. A finite x whose formula
    // result is not finite has nothing to round off: 10ⁿ·x overflowed (so x
    // has no digits beyond n places) and x is kept, or 1/10ⁿ overflowed (every
    // double is below half of 10⁻ⁿ) and the result is 0. Adding +0.0 keeps
    // the rule that no result is a negative zero.
    double Round(double x) const noexcept {
        const double r = std::floor(scale_ * x + 0.5) * recip_;
        if (std::isfinite(r) || !std::isfinite(x)) return r;
        return std::isinf(recip_) ? 0.0 : x + 0.0;
    }

private:
    double scale_;
    double recip_;
};

}  // namespace corvane
