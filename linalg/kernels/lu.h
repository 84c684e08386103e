// Elimination kernels on 0-based row-pointer arrays, generic over the element
// type through EliminationPolicy: the Crout factorisation and the determinant's
// own Gaussian elimination.
#pragma once

#include <cstdint>
#include <utility>

#include "linalg/kernel_codes.h"
#include "linalg/kernels/elimination_policy.h"

namespace corvane {

// Crout's method with implicit partial
// pivoting. a (n × n) is overwritten by L below the diagonal (unit diagonal
// not stored) and U on and above it; perm[i] receives the index in A of the
// row standing at position i, *sign the permutation's sign. scale is work
// storage of n elements. kKernelSingular when a row has no nonzero element
// (nothing useful is left in a then).
template <class T, class P = EliminationPolicy<T>>
int CroutDecompose(T** a, std::int32_t n, typename P::Scale* scale, std::int32_t* perm, std::int32_t* sign) {
    for (std::int32_t i = 0; i < n; ++i) perm[i] = i;
    *sign = 1;
    for (std::int32_t i = 0; i < n; ++i) {
        double largest = 0.0;
        for (std::int32_t j = 0; j < n; ++j) {
            const double m = P::RowMagnitude(a[i][j]);
            if (m > largest) largest = m;  // a NaN never counts
        }
        if (largest == 0.0) return kKernelSingular;
        scale[i] = P::RowScale(largest);
    }
    for (std::int32_t j = 0; j < n; ++j) {
        for (std::int32_t i = 0; i < j; ++i) {
            T sum = a[i][j];
            for (std::int32_t k = 0; k < i; ++k) sum = sum - a[i][k] * a[k][j];
            a[i][j] = sum;
        }
        double best = 0.0;
        std::int32_t pivot = j;
        for (std::int32_t i = j; i < n; ++i) {
            T sum = a[i][j];
            for (std::int32_t k = 0; k < j; ++k) sum = sum - a[i][k] * a[k][j];
            a[i][j] = sum;
            const double weight = P::Weight(sum, scale[i]);
            if (weight > best) {  // the first of equal weights wins; NaN never does
                best = weight;
                pivot = i;
            }
        }
        if (pivot != j) {
            std::swap(a[pivot], a[j]);  // exchanging the row blocks exchanges whole rows
            *sign = -*sign;
            scale[pivot] = scale[j];
            std::swap(perm[pivot], perm[j]);
        }
        if (P::IsZero(a[j][j])) a[j][j] = P::TinyPivot();
        if (j < n - 1) {
            const T r = P::Reciprocal(a[j][j]);
            for (std::int32_t i = j + 1; i < n; ++i) a[i][j] = a[i][j] * r;
        }
    }
    return kKernelOk;
}

// Gaussian elimination with plain partial pivoting, then the product of the
// pivots (the classical determinant by triangularisation). a (n × n) is
// destroyed; rows are exchanged by exchanging their pointers. An exhausted
// pivot column gives exactly zero. Always kKernelOk.
template <class T, class P = EliminationPolicy<T>>
int GaussDeterminant(T** a, std::int32_t n, T* det) {
    T sign = P::One();
    for (std::int32_t k = 0; k < n; ++k) {
        double best = 0.0;
        std::int32_t pivot = k;
        for (std::int32_t i = k; i < n; ++i) {
            const double m = P::PivotMagnitude(a[i][k]);
            if (m > best) {
                best = m;
                pivot = i;
            }
        }
        if (P::PivotColumnExhausted(best, a[pivot][k])) {
            *det = P::Zero();
            return kKernelOk;
        }
        if (pivot != k) {
            std::swap(a[pivot], a[k]);
            sign = -sign;
        }
        for (std::int32_t i = k + 1; i < n; ++i) {
            const T f = a[i][k] / a[k][k];
            for (std::int32_t j = k; j < n; ++j) a[i][j] = a[i][j] - f * a[k][j];
        }
    }
    T product = P::One();
    for (std::int32_t i = 0; i < n; ++i) product = product * a[i][i];
    *det = product * sign;
    return kKernelOk;
}

}  // namespace corvane
