// Small scalar helpers shared by the decompositions and the eigen kernels.
// Their exact operation order is part of the results.
#pragma once

#include <cmath>

namespace corvane {

// |x| computed in the vector registers: the 32-bit Windows runtime's inline fabs
// goes through the x87 stack and memory, which also stops loops vectorising.
inline double Abs(double x) { return __builtin_fabs(x); }

// sqrt(a² + b²) without overflow: the larger magnitude times
// sqrt(1 + (smaller/larger)²); 0 when both are 0. A NaN argument gives NaN,
// except (NaN, 0), which falls to the zero branch and gives 0.
inline double ScaledHypot(double a, double b) {
    const double p = Abs(a);
    const double q = Abs(b);
    if (p > q) {
        const double r = q / p;
        return p * std::sqrt(1.0 + r * r);
    }
    if (q == 0.0) return 0.0;
    const double r = p / q;
    return q * std::sqrt(1.0 + r * r);
}

// |a| carrying the sign of b: |a| when b >= 0 (a negative zero counts as not
// negative), otherwise -|a|, also when b is not a number.
inline double TransferSign(double a, double b) {
    const double m = Abs(a);
    return b >= 0.0 ? m : -m;
}

}  // namespace corvane
