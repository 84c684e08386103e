// Elimination kernels on 0-based row-pointer arrays, generic over the element
// type through EliminationPolicy: the Crout factorisation and the determinant's
// own Gaussian elimination.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/product_choice.h"
#include "linalg/kernel_codes.h"
#include "linalg/kernels/elimination_policy.h"
#include "linalg/kernels/partial_pivot.h"

namespace corvane {

// Columns of a panel of the Crout factorisation (each panel packs the columns
// before it once: wide panels keep that small); columns of one step inside a
// panel; the most rows or terms handed to one delayed update.
inline constexpr std::int32_t kCroutPanel = 96;
inline constexpr std::int32_t kCroutStep = 8;
inline constexpr std::int32_t kUpdateChunk = 256;

// m(i, j0 + j) = m(i, j0 + j) − m(i, k)·m(k, j0 + j) for rows i in [i0, i1),
// j < width, k = k0, k0 + 1, …, k1 − 1 in this order: the terms of finished
// columns, delayed until columns need them, as one product per chunk.
template <class T>
void SubtractFinishedTerms(T** m, std::int32_t i0, std::int32_t i1, std::int32_t k0, std::int32_t k1, std::int32_t j0,
                           std::int32_t width, const ProductWorkspace<T>& products) {
    const T* bRows[kUpdateChunk];
    const T* aRows[kUpdateChunk];
    T* cRows[kUpdateChunk];
    for (std::int32_t kc = k0; kc < k1; kc += kUpdateChunk) {  // increasing k
        const std::int32_t kn = std::min(kUpdateChunk, k1 - kc);
        for (std::int32_t k = 0; k < kn; ++k) bRows[k] = m[kc + k] + j0;
        for (std::int32_t r0 = i0; r0 < i1; r0 += kUpdateChunk) {
            const std::int32_t rn = std::min(kUpdateChunk, i1 - r0);
            for (std::int32_t r = 0; r < rn; ++r) aRows[r] = m[r0 + r] + kc, cRows[r] = m[r0 + r] + j0;
            SubtractProduct(aRows, bRows, cRows, rn, kn, width, products);
        }
    }
}

// The terms k in [k0, k1) of columns [j0, j1) for the rows k0 < i < k1 of
// those columns themselves: row i takes the terms k < i, in increasing k.
// A few rows at a time: their own terms one by one, then, finished, they hand
// their terms to the rows below as one product.
template <class T>
void SubtractOwnRowTerms(T** m, std::int32_t k0, std::int32_t k1, std::int32_t j0, std::int32_t j1,
                         const ProductWorkspace<T>& products) {
    for (std::int32_t step = k0; step < k1; step += kCroutStep) {
        const std::int32_t stepEnd = std::min(k1, step + kCroutStep);
        for (std::int32_t i = step + 1; i < stepEnd; ++i)
            for (std::int32_t k = step; k < i; ++k) {
                T* __restrict row = m[i];
                const T* __restrict u = m[k];
                const T l = row[k];
                for (std::int32_t j = j0; j < j1; ++j) row[j] = row[j] - l * u[j];
            }
        if (stepEnd < k1) SubtractFinishedTerms(m, stepEnd, k1, step, stepEnd, j0, j1 - j0, products);
    }
}

// Crout's method with implicit partial pivoting. a (n × n) is overwritten by
// L below the diagonal (unit diagonal not stored) and U on and above it;
// perm[i] receives the index in A of the row standing at position i, *sign
// the permutation's sign. scale is work storage of n elements, `products`
// packing storage as ReserveCroutProducts takes it.
// kKernelSingular when a row has no nonzero element (nothing useful is left
// in a then).
//
// Element (i, j) is a(i, j) − a(i, 0)·a(0, j) − a(i, 1)·a(1, j) − … in
// increasing k, one rounded multiply and subtraction at a time. The columns
// are taken in panels, left-looking: a panel first receives the terms of all
// earlier columns as products (rows above the panel block by block, each
// block's own earlier rows last). Inside the panel, steps of a few columns:
// each finished column at once hands its term a(i, k)·a(k, j) to the step's
// later columns of every row below it, along the row; then the step's terms
// reach the panel's later columns as one product. Every element sees the same
// operations in the same order as column-by-column Crout; only the order in
// which elements are worked on changes.
template <class T, class P = EliminationPolicy<T>>
int CroutDecompose(T** a, std::int32_t n, typename P::Scale* scale, std::int32_t* perm, std::int32_t* sign,
                   const ProductWorkspace<T>& products) {
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
    for (std::int32_t first = 0; first < n; first += kCroutPanel) {
        const std::int32_t end = std::min(n, first + kCroutPanel), width = end - first;
        for (std::int32_t block = 0; block < first; block += kCroutPanel) {
            const std::int32_t blockEnd = std::min(first, block + kCroutPanel);
            SubtractFinishedTerms(a, block, blockEnd, 0, block, first, width, products);
            SubtractOwnRowTerms(a, block, blockEnd, first, end, products);
        }
        SubtractFinishedTerms(a, first, n, 0, first, first, width, products);
        for (std::int32_t step = first; step < end; step += kCroutStep) {
            const std::int32_t stepEnd = std::min(end, step + kCroutStep);
            // Column j holds all its terms: the pivot among rows j, j + 1, …
            // (searched by the column before, inside the step, as it updates
            // the rows: the same candidates in the same order).
            detail::PivotChoice choice(step);
            for (std::int32_t i = step; i < n; ++i) choice.Offer(P::Weight(a[i][step], scale[i]), i);
            for (std::int32_t j = step; j < stepEnd; ++j) {
                const std::int32_t pivot = choice.row;
                if (pivot != j) {
                    std::swap(a[pivot], a[j]);  // exchanging the row blocks exchanges whole rows
                    *sign = -*sign;
                    scale[pivot] = scale[j];
                    std::swap(perm[pivot], perm[j]);
                }
                if (P::IsZero(a[j][j])) a[j][j] = P::TinyPivot();
                if (j == n - 1) return kKernelOk;
                const T r = P::Reciprocal(a[j][j]);
                const T* __restrict u = a[j];
                choice = detail::PivotChoice(j + 1);
                for (std::int32_t i = j + 1; i < n; ++i) {
                    T* __restrict row = a[i];
                    const T l = row[j] * r;
                    row[j] = l;
                    for (std::int32_t c = j + 1; c < stepEnd; ++c) row[c] = row[c] - l * u[c];
                    if (j + 1 < stepEnd) choice.Offer(P::Weight(row[j + 1], scale[i]), i);
                }
            }
            // The step's terms for the panel's later columns: first its own
            // rows, which then serve the rows below as finished rows of U.
            if (stepEnd == end) continue;
            SubtractOwnRowTerms(a, step, stepEnd, stepEnd, end, products);
            SubtractFinishedTerms(a, stepEnd, n, step, stepEnd, stepEnd, end - stepEnd, products);
        }
    }
    return kKernelOk;
}

// The packing storage of the factorisation's products for order n.
template <class T>
[[nodiscard]] bool ReserveCroutProducts(ProductWorkspace<T>* products, std::int32_t n) noexcept {
    const std::int32_t chunk = std::min(n, kUpdateChunk);
    return products->Reserve(chunk, chunk, std::min(n, kCroutPanel));
}

// Gaussian elimination with plain partial pivoting, then the product of the
// pivots (the classical determinant by triangularisation). a (n × n) is
// destroyed; rows are exchanged by exchanging their pointers. An exhausted
// pivot column gives exactly zero. Always kKernelOk.
template <class T, class P = EliminationPolicy<T>>
int GaussDeterminant(T** a, std::int32_t n, T* det) {
    T sign = P::One();
    for (std::int32_t k = 0; k < n; ++k) {
        const detail::PivotChoice choice = detail::PartialPivot<T, P>(a, n, k);
        const std::int32_t pivot = choice.row;
        if (P::PivotColumnExhausted(choice.largest, a[pivot][k])) {
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
