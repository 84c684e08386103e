// Plain partial pivoting, shared by Gauss-Jordan and the determinant's own
// Gaussian elimination.
#pragma once

#include <cstdint>

namespace corvane {

namespace detail {
// A pivot search's running choice: the first candidate of strictly largest
// magnitude wins (a NaN magnitude never does); the starting row when none
// is positive.
struct PivotChoice {
    explicit PivotChoice(std::int32_t first) : row(first) {}
    void Offer(double magnitude, std::int32_t i) {
        if (magnitude > largest) {
            largest = magnitude;
            row = i;
        }
    }
    double largest = 0.0;
    std::int32_t row;
};

// Plain partial pivoting over rows k … n−1 of column k.
template <class T, class P>
PivotChoice PartialPivot(T* const* a, std::int32_t n, std::int32_t k) {
    PivotChoice choice(k);
    for (std::int32_t i = k; i < n; ++i) choice.Offer(P::PivotMagnitude(a[i][k]), i);
    return choice;
}
}  // namespace detail

}  // namespace corvane
