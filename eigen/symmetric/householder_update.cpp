#include "eigen/symmetric/householder_update.h"

#include <cmath>

#include "core/numeric_helpers.h"

namespace corvane {

void MirrorLowerTriangle(std::int32_t last, double* const* s) {
    for (std::int32_t k = 1; k <= last; ++k)
        for (std::int32_t j = 0; j < k; ++j) s[j][k] = s[k][j];
}

double FormHouseholderVector(std::int32_t l, double scale, double* w, double* ei) {
    double h = 0.0;
    const double rscale = 1.0 / scale;
    for (std::int32_t k = 0; k <= l; ++k) {
        w[k] = w[k] * rscale;
        h = h + w[k] * w[k];
    }
    const double f = w[l];
    const double g = -TransferSign(std::sqrt(h), f);
    *ei = scale * g;
    h = h - f * g;
    w[l] = f - g;
    return h;
}

void FinishUpdateVector(std::int32_t l, const double* w, double* p, double h) {
    double f = 0.0;
    const double rh = 1.0 / h;
    for (std::int32_t j = 0; j <= l; ++j) {
        p[j] = p[j] * rh;
        f = f + p[j] * w[j];
    }
    const double hh = f / (h + h);
    for (std::int32_t j = 0; j <= l; ++j) p[j] = p[j] - hh * w[j];
}

void HouseholderUpdate(const RowOperations& ops, std::int32_t l, double* const* s, const double* w, double* e,
                       double h) {
    // A·u: element j sums s[j][m]·w[m] over m = 0..l in order; row m of the
    // full matrix is column m.
    for (std::int32_t j = 0; j <= l; ++j) e[j] = 0.0;
    for (std::int32_t m = 0; m <= l; ++m) ops.addScaled(e, s[m], w[m], l + 1);
    FinishUpdateVector(l, w, e, h);
    // Element (k, j), j ≤ k, loses w[j]·e[k] + e[j]·w[k]; its mirror the same.
    for (std::int32_t k = 0; k <= l; ++k) {
        ops.subtractTwo(s[k], w, e[k], e, w[k], k + 1);
        ops.subtractTwo(s[k] + k + 1, e + k + 1, w[k], w + k + 1, e[k], l - k);
    }
}

}  // namespace corvane
