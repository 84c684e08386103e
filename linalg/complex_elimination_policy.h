// The elimination policy for Complex elements: row maxima and implicit
// pivoting weights by the modulus, plain partial pivoting by the one-norm
// |Re| + |Im|, reciprocals and the row scale by the scaled complex division,
// and an exhausted pivot column detected as a chosen pivot equal to (0, 0).
#pragma once

#include <cmath>

#include "core/complex.h"
#include "linalg/elimination_policy.h"

namespace corvane {

template <>
struct EliminationPolicy<Complex> {
    // The row scale is kept as a complex value (its imaginary part is 0.0).
    using Scale = Complex;

    static constexpr Complex Zero() { return {0.0, 0.0}; }
    static constexpr Complex One() { return {1.0, 0.0}; }
    static constexpr Complex TinyPivot() { return {1e-20, 0.0}; }

    static double RowMagnitude(Complex x) { return Modulus(x); }
    // (1, 0) divided by (largest, 0) with the complex division, not 1 / largest.
    static Complex RowScale(double largest) { return Complex{1.0, 0.0} / Complex{largest, 0.0}; }
    // The modulus times the complex scale gives (w, 0), compared by its modulus.
    static double Weight(Complex x, Complex scale) { return Modulus(Modulus(x) * scale); }

    static double PivotMagnitude(Complex x) { return std::fabs(x.Real) + std::fabs(x.Imag); }
    // The chosen pivot itself is tested: the one-norm of a NaN element never
    // wins, and a column of NaN leaves a NaN pivot, which is not (0, 0).
    static bool PivotColumnExhausted(double /*largest*/, Complex pivot) { return pivot == Zero(); }

    static bool IsZero(Complex x) { return x == Zero(); }
    static Complex Reciprocal(Complex x) { return One() / x; }
};

}  // namespace corvane
