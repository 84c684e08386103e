// The points where the elimination kernels depend on the element type: how a
// pivot is weighed, when a pivot column counts as exhausted, how reciprocals
// and the stand-in for a zero pivot are formed. The real policy is here; the
// complex one supplies the same members for Complex.
#pragma once

#include <cmath>

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
    static double RowMagnitude(double x) { return std::fabs(x); }
    // Scale of a row from its (nonzero) largest magnitude.
    static double RowScale(double largest) { return 1.0 / largest; }
    // Implicit-pivoting weight of a candidate in a row with the given scale.
    static double Weight(double x, double scale) { return std::fabs(x) * scale; }

    // Magnitude of plain partial pivoting (determinant, Gauss-Jordan).
    static double PivotMagnitude(double x) { return std::fabs(x); }
    // Whether the pivot search found nothing: the largest magnitude stayed 0.
    static bool PivotColumnExhausted(double largest, double /*pivot*/) { return largest == 0.0; }

    static bool IsZero(double x) { return x == 0.0; }
    static double Reciprocal(double x) { return 1.0 / x; }
};

}  // namespace corvane
