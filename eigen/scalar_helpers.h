// Two scalar helpers of the Householder and QL/QR kernels. Kept here until the
// library-wide copy of these helpers is available to the eigen kernels.
#pragma once

#include <cmath>

namespace corvane {

// |a| with the sign of b; a negative zero counts as not negative, and a NaN b
// gives −|a|.
inline double TransferSign(double a, double b) { return b >= 0.0 ? std::fabs(a) : -std::fabs(a); }

// sqrt(a² + b²) dividing by the larger magnitude, so the square cannot
// overflow; 0 when both are zero.
inline double ScaledHypot(double a, double b) {
    const double p = std::fabs(a), q = std::fabs(b);
    if (p > q) {
        const double t = q / p;
        return p * std::sqrt(1.0 + t * t);
    }
    if (q == 0.0) return 0.0;
    const double t = p / q;
    return q * std::sqrt(1.0 + t * t);
}

}  // namespace corvane
