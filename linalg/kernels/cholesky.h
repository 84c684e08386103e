// The Cholesky factorisation generic over the element type: the same column
// by column kernel for real and complex symmetric matrices, differing only in
// the pivot test (real pivots must be positive; complex ones are not tested)
// and the square root (the principal complex root). No element is conjugated.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/buffer.h"
#include "core/complex.h"
#include "core/product_choice.h"
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

namespace cholesky_detail {

inline constexpr std::int32_t kStep = 8, kRows = 8;

// Rows i0 .. i0 + rn − 1 (rn <= kRows, all below the step) for the kn <= kStep
// columns from `step`, whose own rows are final: each L(i, j) from its sum,
// then its terms for the step's later columns of its row, in increasing j.
// Lanes are rows. False for an asymmetric pair.
template <class T>
bool StepRows(T** a, T* const* sums, std::int32_t first, std::int32_t step, std::int32_t kn, std::int32_t i0,
              std::int32_t rn) {
    T l[kStep][kRows], s[kStep][kRows];
    for (std::int32_t r = 0; r < rn; ++r)
        for (std::int32_t j = 0; j < kn; ++j) {
            l[j][r] = a[i0 + r][step + j];
            s[j][r] = sums[i0 + r - first][step + j - first];
        }
    bool symmetric = true;
    for (std::int32_t j = 0; j < kn; ++j) {
        const T* upper = a[step + j] + i0;
        const T pivot = a[step + j][step + j];
        for (std::int32_t r = 0; r < rn; ++r) {
            symmetric &= upper[r] == l[j][r];  // NaN is never equal
            l[j][r] = (upper[r] - s[j][r]) / pivot;
        }
        for (std::int32_t c = j + 1; c < kn; ++c) {
            const T lcj = a[step + c][step + j];
            for (std::int32_t r = 0; r < rn; ++r) s[c][r] += lcj * l[j][r];
        }
    }
    for (std::int32_t r = 0; r < rn; ++r)
        for (std::int32_t j = 0; j < kn; ++j) a[i0 + r][step + j] = l[j][r];
    return symmetric;
}

}  // namespace cholesky_detail

// Cholesky–Crout (column by column); each pair (i, j), i > j, is compared
// exactly once, when column j is formed, so success proves exact symmetry.
// On success a holds L on and below the diagonal and A above it;
// kKernelNotPositiveDefinite for an asymmetric pair or a failing pivot.
//
// Every sum starts at zero and takes L(j, k)·L(i, k) in increasing k. The
// columns are taken in panels: the terms of the columns before a panel come as
// one product into `sums` (L's panel rows transposed into `panel`). Inside the
// panel, steps of a few columns: each element L(i, k) of a column k, once
// formed, adds its terms L(j, k)·L(i, k) to the sums of the step's later
// columns j of its row; then the step's terms reach the sums of the panel's
// later columns as one product. Without storage for the two the columns are
// taken one by one throughout, each sum formed in a loop, with the same bits.
template <class T, class P = CholeskyPolicy<T>>
int CholeskyCrout(T** a, std::int32_t n) {
    constexpr std::int32_t kPanel = 48, kChunk = 256;
    using cholesky_detail::kRows, cholesky_detail::kStep;
    // sums and panel: n rows of kPanel each, in one block (two allocations
    // rather than one per row); the packing storage of the products.
    Buffer<T> storage;
    Buffer<T*> rowPointers;
    ProductWorkspace<T> products;
    const bool panels = n > kPanel && storage.Allocate(std::int64_t{2} * n * kPanel) &&
                        rowPointers.Allocate(2 * std::int64_t{n}) && products.Reserve(n, n, kPanel);
    if (panels)
        for (std::int64_t i = 0; i < 2 * std::int64_t{n}; ++i) rowPointers[i] = storage.data() + i * kPanel;
    T* const* const sums = rowPointers.data();
    T* const* const panel = panels ? sums + n : nullptr;
    T column[kPanel];  // L(j, k) of the panel's rows j, for the column k just finished
    const T* aRows[kChunk];
    const T* bRows[kStep];
    T* cRows[kChunk];
    for (std::int32_t first = 0; first < n; first += kPanel) {
        const std::int32_t end = panels ? std::min(n, first + kPanel) : n, width = end - first;
        if (panels) {
            for (std::int32_t i = 0; i < n - first; ++i)
                for (std::int32_t c = 0; c < width; ++c) sums[i][c] = P::Zero();
            for (std::int32_t k = 0; k < first; ++k)
                for (std::int32_t c = 0; c < width; ++c) panel[k][c] = a[first + c][k];
            if (first > 0) AddProduct(a + first, panel, sums, n - first, first, width, products);
        }
        for (std::int32_t step = first; step < end; step += kStep) {
            const std::int32_t stepEnd = panels ? std::min(end, step + kStep) : end;
            for (std::int32_t j = step; j < stepEnd; ++j) {
                const T* lj = a[j];
                const std::int32_t done = panels ? j : 0;  // terms k < done are in sums
                T squares = panels ? sums[j - first][j - first] : P::Zero();
                for (std::int32_t k = done; k < j; ++k) squares += lj[k] * lj[k];
                const T d = a[j][j] - squares;  // subtracted once, as one total
                if (P::PivotFails(d)) return kKernelNotPositiveDefinite;
                const T ljj = P::Root(d);
                a[j][j] = ljj;
                // Each row of the step's own block in one visit: its element
                // of column j, then that element's terms for the step's later
                // columns (rows c <= i, whose elements of column j are in
                // `column` by then). The rows below the step come after.
                for (std::int32_t i = j + 1; i < stepEnd; ++i) {
                    T* li = a[i];
                    const T upper = a[j][i];
                    if (!(upper == li[j])) return kKernelNotPositiveDefinite;  // NaN is never equal
                    T s = panels ? sums[i - first][j - first] : P::Zero();
                    for (std::int32_t k = done; k < j; ++k) s += lj[k] * li[k];
                    const T lij = (upper - s) / ljj;
                    li[j] = lij;
                    if (!panels) continue;
                    if (i < stepEnd) column[i - first] = lij;
                    T* __restrict si = sums[i - first];
                    const std::int32_t last = std::min(i + 1, stepEnd);  // the sums on and below the diagonal
                    for (std::int32_t c = j + 1; c < last; ++c) si[c - first] += column[c - first] * lij;
                }
            }
            if (!panels) return kKernelOk;
            // The rows below the step, kRows at a time for all the step's
            // columns (their divisions independent): every element and sum
            // takes the same terms in the same order as column by column.
            for (std::int32_t i = stepEnd; i < n; i += kRows)
                if (!cholesky_detail::StepRows<T>(a, sums, first, step, stepEnd - step, i, std::min(kRows, n - i)))
                    return kKernelNotPositiveDefinite;
            if (stepEnd == end) continue;
            // The step's terms L(i, k)·L(j, k) for the sums of the panel's later
            // columns j, rows i >= j (products commute exactly): L's step rows
            // transposed into `panel`.
            const std::int32_t kn = stepEnd - step, rest = end - stepEnd;
            for (std::int32_t k = 0; k < kn; ++k) {
                for (std::int32_t c = 0; c < rest; ++c) panel[k][c] = a[stepEnd + c][step + k];
                bRows[k] = panel[k];
            }
            for (std::int32_t r0 = stepEnd; r0 < n; r0 += kChunk) {
                const std::int32_t rn = std::min(kChunk, n - r0);
                for (std::int32_t r = 0; r < rn; ++r)
                    aRows[r] = a[r0 + r] + step, cRows[r] = sums[r0 + r - first] + (stepEnd - first);
                AddProduct(aRows, bRows, cRows, rn, kn, rest, products);
            }
        }
    }
    return kKernelOk;
}

}  // namespace corvane
