// Gauss-Jordan kernels on 0-based row-pointer arrays, generic over the
// element type through EliminationPolicy: the inverse and the single-column
// solve.
//
// Step k of Gauss-Jordan elimination leaves every element of the pivot row k
// multiplied by the pivot's reciprocal and every element (i, j) of another row
// as a(i, j) − f(i, k)·a(k, j), f(i, k) being a(i, k) as step k finds it. Only
// the columns of a pivot search must be current when it runs; the others may
// receive their steps later, as long as each element receives them in
// increasing k. So the steps are taken in panels: the panel's own columns are
// eliminated step by step (recursively, in halves, down to a few columns),
// each multiplier staying in its column (the column is never read again),
// and the panel's steps then reach the columns to its right, and B, in three
// moves: the panel's pivot rows are brought up to date through their own step
// (forward), every other row receives the panel's steps as one product, and
// the pivot rows receive the steps after their own (backward). Every element
// sees the operations of the step-by-step elimination in the same order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/buffer.h"
#include "core/product_choice.h"
#include "linalg/kernel_codes.h"
#include "linalg/kernels/elimination_policy.h"
#include "linalg/kernels/partial_pivot.h"

namespace corvane {

// Steps per panel whose delayed updates reach the columns to the right (and
// B) together: the inverse's panels are deeper, as every panel passes over
// all of B too; the steps eliminated one at a time at the foot of the
// recursion, and the pivot rows brought up to date one at a time.
inline constexpr std::int32_t kGaussJordanPanel = 64;
inline constexpr std::int32_t kGaussJordanInversePanel = 128;
inline constexpr std::int32_t kGaussJordanLeaf = 16;

// Work storage of one elimination, taken before it starts: the packing
// storage of its products and the lists of rows handed to them.
template <class T>
struct GaussJordanWork {
    [[nodiscard]] bool Reserve(std::int32_t n) noexcept {
        return products.Reserve(n, std::min(n, kGaussJordanInversePanel), n) && multipliers.Allocate(n) &&
               rows.Allocate(n);
    }
    ProductWorkspace<T> products;
    Buffer<const T*> multipliers;
    Buffer<T*> rows;
};

namespace gauss_jordan_detail {

// The two forms differ here. The solve skips rows whose multiplier is exactly
// zero (a − 0·x is not always a), keeps the pivot element unscaled and brings
// its single right-hand column along at every step.
template <class T, bool kSolve>
struct Target;
template <class T>
struct Target<T, false> {
    T** b;  // n × n, exchanged with a and delayed like the columns of a
};
template <class T>
struct Target<T, true> {
    T* b;  // n elements, eliminated with each step
};

// c(i, col + j) = c(i, col + j) − a(i, s)·c(s, col + j) for rows i in [i0, i1)
// other than the pivot rows s0 … s1 − 1 themselves, j < width, steps
// s = s0, s0 + 1, …, s1 − 1 in this order (s1 − s0 at most a panel), as one
// product. The multipliers are a's, the pivot rows c's own rows. With
// kSkipZeros a row whose multipliers include a zero is worked alone,
// skipping those steps.
template <class T, class P, bool kSkipZeros>
void SubtractSteps(T* const* a, T* const* c, std::int32_t col, std::int32_t width, std::int32_t i0, std::int32_t i1,
                   std::int32_t s0, std::int32_t s1, const GaussJordanWork<T>& work) {
    if (i0 >= i1 || s0 >= s1 || width <= 0) return;
    const std::int32_t depth = s1 - s0;
    const T* pivotRows[kGaussJordanInversePanel];
    for (std::int32_t s = 0; s < depth; ++s) pivotRows[s] = c[s0 + s] + col;
    const T** const multipliers = work.multipliers.data();
    T** const rows = work.rows.data();
    std::int32_t m = 0;
    for (std::int32_t i = i0; i < i1; ++i) {
        if (i >= s0 && i < s1) continue;
        if constexpr (kSkipZeros) {
            const T* f = a[i] + s0;
            if (std::any_of(f, f + depth, [](const T& x) { return P::IsZero(x); })) {
                T* ci = c[i] + col;
                for (std::int32_t s = 0; s < depth; ++s) {
                    if (P::IsZero(f[s])) continue;
                    const T fs = f[s];
                    const T* u = pivotRows[s];
                    for (std::int32_t j = 0; j < width; ++j) ci[j] = ci[j] - fs * u[j];
                }
                continue;
            }
        }
        multipliers[m] = a[i] + s0;
        rows[m++] = c[i] + col;
    }
    if (m > 0) SubtractProduct(multipliers, pivotRows, rows, m, depth, width, work.products);
}

// Steps s0 … s1 − 1 (already taken on their own columns, reciprocals
// r[s − r0]) on columns col … col + width − 1 of c (a itself, or B), all of
// which lie right of the steps: the three moves described at the top.
template <class T, class P, bool kSkipZeros>
void ApplySteps(T* const* a, T* const* c, std::int32_t n, std::int32_t col, std::int32_t width, std::int32_t s0,
                std::int32_t s1, const T* r, std::int32_t r0, const GaussJordanWork<T>& work) {
    if (width <= 0) return;
    for (std::int32_t h0 = s0; h0 < s1; h0 += kGaussJordanLeaf) {
        const std::int32_t h1 = std::min(s1, h0 + kGaussJordanLeaf);
        SubtractSteps<T, P, kSkipZeros>(a, c, col, width, h0, h1, s0, h0, work);
        for (std::int32_t k = h0; k < h1; ++k) {
            SubtractSteps<T, P, kSkipZeros>(a, c, col, width, k, k + 1, h0, k, work);
            T* ck = c[k] + col;
            const T rk = r[k - r0];
            for (std::int32_t j = 0; j < width; ++j) ck[j] = ck[j] * rk;
        }
    }
    SubtractSteps<T, P, kSkipZeros>(a, c, col, width, 0, n, s0, s1, work);
    for (std::int32_t h0 = s0; h0 < s1; h0 += kGaussJordanLeaf) {
        const std::int32_t h1 = std::min(s1, h0 + kGaussJordanLeaf);
        for (std::int32_t k = h0; k < h1; ++k)
            SubtractSteps<T, P, kSkipZeros>(a, c, col, width, k, k + 1, k + 1, h1, work);
        SubtractSteps<T, P, kSkipZeros>(a, c, col, width, h0, h1, h1, s1, work);
    }
}

// Step k on row i (not k) over columns k + 1 … k1 − 1 of a, and on b's
// element for the solve; the multiplier stays in column k.
template <class T, class P, bool kSolve, class B>
void StepRow(T* ai, B b, std::int32_t i, const T* ak, std::int32_t k, std::int32_t k1) {
    const T f = ai[k];
    if constexpr (kSolve) {
        if (P::IsZero(f)) return;
        b[i] = b[i] - f * b[k];
    }
    for (std::int32_t j = k + 1; j < k1; ++j) ai[j] = ai[j] - f * ak[j];
}

// Steps k0 … k1 − 1 on columns k0 … k1 − 1 of every row; the reciprocal of
// step k in r[k − r0]. kKernelSingular at an exhausted pivot column.
template <class T, class P, bool kSolve>
int EliminateColumns(T** a, Target<T, kSolve> t, std::int32_t n, std::int32_t k0, std::int32_t k1, T* r,
                     std::int32_t r0, const GaussJordanWork<T>& work) {
    if (k1 - k0 > kGaussJordanLeaf) {
        const std::int32_t mid = k0 + std::max(kGaussJordanLeaf, (k1 - k0) / 2 / kGaussJordanLeaf * kGaussJordanLeaf);
        if (EliminateColumns<T, P, kSolve>(a, t, n, k0, mid, r, r0, work) != kKernelOk) return kKernelSingular;
        ApplySteps<T, P, kSolve>(a, a, n, mid, k1 - mid, k0, mid, r, r0, work);
        return EliminateColumns<T, P, kSolve>(a, t, n, mid, k1, r, r0, work);
    }
    // The pivot search of each step after the first is done by the step
    // before, on each row of column k + 1 just after the row's update: the
    // same candidates in the same order, one pass over the rows fewer.
    detail::PivotChoice choice = detail::PartialPivot<T, P>(a, n, k0);
    for (std::int32_t k = k0; k < k1; ++k) {
        const std::int32_t pivot = choice.row;
        if (P::PivotColumnExhausted(choice.largest, a[pivot][k])) return kKernelSingular;
        if (pivot != k) {
            std::swap(a[pivot], a[k]);
            std::swap(t.b[pivot], t.b[k]);
        }
        T* ak = a[k];
        const T rk = P::Reciprocal(ak[k]);
        r[k - r0] = rk;
        for (std::int32_t j = kSolve ? k + 1 : k; j < k1; ++j) ak[j] = ak[j] * rk;
        if constexpr (kSolve) t.b[k] = t.b[k] * rk;
        for (std::int32_t i = 0; i < k; ++i) StepRow<T, P, kSolve>(a[i], t.b, i, ak, k, k1);
        const bool searchNext = k + 1 < k1;
        choice = detail::PivotChoice(k + 1);
        for (std::int32_t i = k + 1; i < n; ++i) {
            StepRow<T, P, kSolve>(a[i], t.b, i, ak, k, k1);
            if (searchNext) choice.Offer(P::PivotMagnitude(a[i][k + 1]), i);
        }
    }
    return kKernelOk;
}

template <class T, class P, bool kSolve>
int GaussJordan(T** a, Target<T, kSolve> t, std::int32_t n, const GaussJordanWork<T>& work) {
    constexpr std::int32_t kPanel = kSolve ? kGaussJordanPanel : kGaussJordanInversePanel;
    T r[kPanel];
    for (std::int32_t k0 = 0; k0 < n; k0 += kPanel) {
        const std::int32_t k1 = std::min(n, k0 + kPanel);
        if (EliminateColumns<T, P, kSolve>(a, t, n, k0, k1, r, k0, work) != kKernelOk) return kKernelSingular;
        ApplySteps<T, P, kSolve>(a, a, n, k1, n - k1, k0, k1, r, k0, work);
        if constexpr (!kSolve) ApplySteps<T, P, false>(a, t.b, n, 0, n, k0, k1, r, k0, work);
    }
    return kKernelOk;
}

}  // namespace gauss_jordan_detail

// Gauss-Jordan elimination with partial (row) pivoting on (A | B), B entering
// as the identity and leaving as the inverse; rows with f = 0 are eliminated
// too (0·inf must show). Rows are exchanged by exchanging their pointers.
// Both arrays are destroyed; kKernelSingular at an exhausted pivot column.
// `work` has been reserved for n.
template <class T, class P = EliminationPolicy<T>>
int GaussJordanInverse(T** a, T** b, std::int32_t n, const GaussJordanWork<T>& work) {
    return gauss_jordan_detail::GaussJordan<T, P, false>(a, {b}, n, work);
}

// Gauss-Jordan on (A | b) for one right-hand column, without forming the
// inverse: the pivot element keeps its value, rows with a zero multiplier
// are skipped. a is destroyed and b becomes the solution;
// kKernelSingular at an exhausted pivot column; `work` has been reserved for n.
template <class T, class P = EliminationPolicy<T>>
int GaussJordanSolve(T** a, T* b, std::int32_t n, const GaussJordanWork<T>& work) {
    return gauss_jordan_detail::GaussJordan<T, P, true>(a, {b}, n, work);
}

}  // namespace corvane
