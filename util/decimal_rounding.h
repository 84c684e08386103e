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
    explicit DecimalRounding(std::int32_t places) noexcept
        : scale_(PowerOfTen(places)), recip_(1.0 / scale_) {}

    double scale() const noexcept { return scale_; }
    double recip() const noexcept { return recip_; }

    // Round half up (ties towards +∞), ending with a multiplication by the
    // reciprocal, never a division by the scale.
    double Round(double x) const noexcept { return std::floor(scale_ * x + 0.5) * recip_; }

private:
    double scale_;
    double recip_;
};

}  // namespace corvane
