// The Cholesky factorisation generic over the element type: the same column
// by column kernel for real and complex symmetric matrices, differing only in
// the pivot test (real pivots must be positive; complex ones are not tested)
// and the square root (the principal complex root). No element is conjugated.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/complex.h"
#include "linalg/kernel_codes.h"

namespace corvane {

template <class T>
struct CholeskyPolicy;

template <>
struct CholeskyPolicy<double> {
    static constexpr double Zero() { return 0.0; }
    // A NaN pivot does not fail here.
    static bool PivotFails(double d) { return d <= 0.0; }
    static double Root(double d) { return std::sqrt(d); }
};

template <>
struct CholeskyPolicy<Complex> {
    static constexpr Complex Zero() { return {0.0, 0.0}; }
    // Complex symmetric matrices have no definiteness to test: any pivot,
    // (0, 0) included, is taken (a zero one makes the column below NaN).
    static bool PivotFails(Complex) { return false; }
    static Complex Root(Complex d) { return SquareRoot(d); }
};

// Cholesky–Crout (column by column); each pair (i, j), i > j, is compared
// exactly once, when column j is formed, so success proves exact symmetry.
// On success a holds L on and below the diagonal and A above it;
// kKernelNotPositiveDefinite for an asymmetric pair or a failing pivot.
template <class T, class P = CholeskyPolicy<T>>
int CholeskyCrout(T** a, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const T* lj = a[j];
        T squares = P::Zero();
        for (std::int32_t k = 0; k < j; ++k) squares += lj[k] * lj[k];
        const T d = a[j][j] - squares;  // subtracted once, as one total
        if (P::PivotFails(d)) return kKernelNotPositiveDefinite;
        const T ljj = P::Root(d);
        a[j][j] = ljj;
        for (std::int32_t i = j + 1; i < n; ++i) {
            T* li = a[i];
            const T upper = a[j][i];
            if (!(upper == li[j])) return kKernelNotPositiveDefinite;  // NaN is never equal
            T s = P::Zero();
            for (std::int32_t k = 0; k < j; ++k) s += lj[k] * li[k];
            li[j] = (upper - s) / ljj;
        }
    }
    return kKernelOk;
}

}  // namespace corvane
