// Plain partial pivoting, shared by Gauss-Jordan and the determinant's own
// Gaussian elimination.
#pragma once

#include <cstdint>

namespace corvane {

namespace detail {
// The first row in k … n−1 of strictly largest pivot magnitude (row k when
// all are zero or not numbers); its magnitude in *largest.
template <class T, class P>
std::int32_t PartialPivot(T* const* a, std::int32_t n, std::int32_t k, double* largest) {
    double best = 0.0;
    std::int32_t pivot = k;
    for (std::int32_t i = k; i < n; ++i) {
        const double m = P::PivotMagnitude(a[i][k]);
        if (m > best) {
            best = m;
            pivot = i;
        }
    }
    *largest = best;
    return pivot;
}
}  // namespace detail

}  // namespace corvane
