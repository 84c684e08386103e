// The points where the elimination kernels depend on the element type: how a
// pivot is weighed, when a pivot column counts as exhausted, how reciprocals
// and the stand-in for a zero pivot are formed. Complex elements weigh rows
// by the modulus, pivot plainly on the one-norm |Re| + |Im|, form reciprocals
// and the row scale by the scaled complex division, and detect an exhausted
// pivot column as a chosen pivot equal to (0, 0).
#pragma once

#include <cmath>

#include "core/complex.h"
#include "core/numeric_helpers.h"

namespace corvane {

template <class T>
struct EliminationPolicy;

template <>
struct EliminationPolicy<double> {
    using Scale = double;

    static constexpr double Zero() { return 0.0; }
    static constexpr double One() { return 1.0; }
    // Stands in for an exactly zero pivot of the Crout factorisation.
    static constexpr double TinyPivot() { return 1e-20; }

    // Row maxima of the implicit pivoting.
    static double RowMagnitude(double x) { return Abs(x); }
    // Scale of a row from its (nonzero) largest magnitude.
    static double RowScale(double largest) { return 1.0 / largest; }
    // Implicit-pivoting weight of a candidate in a row with the given scale.
    static double Weight(double x, double scale) { return Abs(x) * scale; }

    // Magnitude of plain partial pivoting (determinant, Gauss-Jordan).
    static double PivotMagnitude(double x) { return Abs(x); }
    // Whether the pivot search found nothing: the largest magnitude stayed 0.
    static bool PivotColumnExhausted(double largest, double /*pivot*/) { return largest == 0.0; }

    static bool IsZero(double x) { return x == 0.0; }
    static double Reciprocal(double x) { return 1.0 / x; }
};

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

    static double PivotMagnitude(Complex x) { return Abs(x.Real) + Abs(x.Imag); }
    // The chosen pivot itself is tested: the one-norm of a NaN element never
    // wins, and a column of NaN leaves a NaN pivot, which is not (0, 0).
    static bool PivotColumnExhausted(double /*largest*/, Complex pivot) { return pivot == Zero(); }

    static bool IsZero(Complex x) { return x == Zero(); }
    static Complex Reciprocal(Complex x) { return One() / x; }
};

}  // namespace corvane
