// Follows EISPACK tred1: Householder reduction to tridiagonal form, values only.
#include <cmath>

#include "core/numeric_helpers.h"
#include "eigen/symmetric/householder_update.h"
#include "eigen/symmetric/kernels.h"

namespace corvane {

void TridiagonalizeValues(std::int32_t N, double* const* a, double* w, double* e) {
    for (std::int32_t i = 0; i <= N; ++i) {
        w[i] = a[N][i];
        a[N][i] = a[i][i];
    }
    // The working matrix (rows 0..N − 1) in full; the strict upper triangle of
    // a is work space.
    const RowOperations& ops = ActiveRowOperations();
    MirrorLowerTriangle(N - 1, a);
    for (std::int32_t i = N; i >= 0; --i) {
        const std::int32_t l = i - 1;
        if (l < 0) {
            e[i] = 0.0;
            continue;
        }
        double scale = 0.0;
        for (std::int32_t k = 0; k <= l; ++k) scale += Abs(w[k]);
        if (scale == 0.0) {
            for (std::int32_t j = 0; j <= l; ++j) {
                w[j] = a[l][j];
                a[l][j] = a[i][j];
                a[i][j] = 0.0;
            }
            e[i] = 0.0;
            continue;
        }
        const double h = FormHouseholderVector(l, scale, w, &e[i]);
        if (l != 0) HouseholderUpdate(ops, l, a, w, e, h);
        for (std::int32_t j = 0; j <= l; ++j) {
            const double u = w[j];
            w[j] = a[l][j];
            a[l][j] = a[i][j];
            a[i][j] = u * scale;
        }
    }
}

}  // namespace corvane
