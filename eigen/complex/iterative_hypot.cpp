// Follows EISPACK pythag: sqrt(a² + b²) by the iteration of Moler and Morrison.
#include <cmath>

#include "core/numeric_helpers.h"
#include "eigen/complex/kernels.h"

namespace corvane {

namespace {
// Finite arguments converge in at most a handful of rounds.
constexpr int kMaxHypotRounds = 64;
}  // namespace

double IterativeHypot(double a, double b) {
    const double fa = Abs(a), fb = Abs(b);
    // Non-finite arguments are answered directly (the loop below would not
    // stop for them); the round bound stays as a guard.
    if (std::isnan(fa) || std::isnan(fb)) return fa + fb;
    if (std::isinf(fa) || std::isinf(fb)) return HUGE_VAL;
    double p = fa > fb ? fa : fb;
    if (p == 0.0) return 0.0;
    const double q = (fa > fb ? fb : fa) / p;
    double r = q * q;
    for (int round = 0; round < kMaxHypotRounds; ++round) {
        const double t = 4.0 + r;
        if (t == 4.0) break;
        const double s = r / t;
        const double u = 1.0 + 2.0 * s;
        p = u * p;
        const double v = s / u;
        r = v * v * r;
    }
    return p;
}

}  // namespace corvane
