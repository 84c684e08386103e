// Gauss-Jordan kernels on 0-based row-pointer arrays, generic over the
// element type through EliminationPolicy: the inverse and the single-column solve.
#pragma once

#include <cstdint>
#include <utility>

#include "linalg/kernel_codes.h"
#include "linalg/kernels/elimination_policy.h"
#include "linalg/kernels/partial_pivot.h"

namespace corvane {

// Gauss-Jordan elimination with partial (row) pivoting: Gauss-Jordan
// on (A | B), B entering as the identity and leaving as the inverse. Rows
// are exchanged by exchanging their pointers (the columns of a before k are
// never read again, so this equals exchanging a(k … n−1)). Both arrays are
// destroyed; kKernelSingular at an exhausted pivot column.
template <class T, class P = EliminationPolicy<T>>
int GaussJordanInverse(T** a, T** b, std::int32_t n) {
    for (std::int32_t k = 0; k < n; ++k) {
        double largest;
        const std::int32_t pivot = detail::PartialPivot<T, P>(a, n, k, &largest);
        if (P::PivotColumnExhausted(largest, a[pivot][k])) return kKernelSingular;
        if (pivot != k) {
            std::swap(a[pivot], a[k]);
            std::swap(b[pivot], b[k]);
        }
        const T r = P::Reciprocal(a[k][k]);
        T* ak = a[k];
        T* bk = b[k];
        for (std::int32_t j = k; j < n; ++j) ak[j] = ak[j] * r;
        for (std::int32_t j = 0; j < n; ++j) bk[j] = bk[j] * r;
        for (std::int32_t i = 0; i < n; ++i) {
            if (i == k) continue;
            T* ai = a[i];
            T* bi = b[i];
            const T f = ai[k];  // rows with f = 0 are eliminated too (0·inf must show)
            for (std::int32_t j = k; j < n; ++j) ai[j] = ai[j] - f * ak[j];
            for (std::int32_t j = 0; j < n; ++j) bi[j] = bi[j] - f * bk[j];
        }
    }
    return kKernelOk;
}

// Gauss-Jordan on (A | b) for one right-hand column, without forming the
// inverse: the pivot element keeps its value, rows with a zero multiplier
// are skipped. a is destroyed and b becomes the solution;
// kKernelSingular at an exhausted pivot column.
template <class T, class P = EliminationPolicy<T>>
int GaussJordanSolve(T** a, T* b, std::int32_t n) {
    for (std::int32_t k = 0; k < n; ++k) {
        double largest;
        const std::int32_t pivot = detail::PartialPivot<T, P>(a, n, k, &largest);
        if (P::PivotColumnExhausted(largest, a[pivot][k])) return kKernelSingular;
        if (pivot != k) {
            std::swap(a[pivot], a[k]);
            std::swap(b[pivot], b[k]);
        }
        const T r = P::Reciprocal(a[k][k]);
        T* ak = a[k];
        for (std::int32_t j = k + 1; j < n; ++j) ak[j] = ak[j] * r;
        b[k] = b[k] * r;
        for (std::int32_t i = 0; i < n; ++i) {
            if (i == k || P::IsZero(a[i][k])) continue;
            T* ai = a[i];
            const T f = ai[k];
            for (std::int32_t j = k + 1; j < n; ++j) ai[j] = ai[j] - f * ak[j];
            b[i] = b[i] - f * b[k];
        }
    }
    return kKernelOk;
}

}  // namespace corvane
