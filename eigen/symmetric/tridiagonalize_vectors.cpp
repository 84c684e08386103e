// Follows EISPACK tred2: Householder reduction to tridiagonal form with the transformation accumulated.
// The working matrix is held in full in a (which is not needed afterwards), so
// that its columns are read as rows; z receives what tred2 leaves in it: the
// reflectors above the diagonal, then the accumulated transformation.
#include <cmath>

#include "core/numeric_helpers.h"
#include "eigen/symmetric/householder_update.h"
#include "eigen/symmetric/kernels.h"

namespace corvane {

void TridiagonalizeVectors(std::int32_t N, double* const* a, double* w, double* e, double* const* z) {
    const RowOperations& ops = ActiveRowOperations();
    MirrorLowerTriangle(N, a);
    for (std::int32_t i = 0; i <= N; ++i) w[i] = a[N][i];
    for (std::int32_t i = N; i >= 1; --i) {
        const std::int32_t l = i - 1;
        double h = 0.0;
        double scale = 0.0;
        if (l >= 1)
            for (std::int32_t k = 0; k <= l; ++k) scale += Abs(w[k]);
        if (l == 0 || scale == 0.0) {
            e[i] = w[l];
            for (std::int32_t j = 0; j <= l; ++j) {
                w[j] = a[l][j];
                z[i][j] = 0.0;
                z[j][i] = 0.0;
            }
            w[i] = h;
            continue;
        }
        h = FormHouseholderVector(l, scale, w, &e[i]);
        for (std::int32_t j = 0; j <= l; ++j) z[j][i] = w[j];
        HouseholderUpdate(ops, l, a, w, e, h);
        for (std::int32_t j = 0; j <= l; ++j) {
            w[j] = a[l][j];
            z[i][j] = 0.0;
        }
        w[i] = h;
    }
    // The diagonal of the reduced matrix, where tred2 keeps it.
    for (std::int32_t i = 0; i <= N; ++i) z[i][i] = a[i][i];
    // Accumulate the transformations; w[i] holds each reflector's h. Column j
    // gains g·w with g its product with column i; all columns at once, row by
    // row (g in a's first row), each g summed in increasing row order.
    double* const g = a[0];
    for (std::int32_t i = 1; i <= N; ++i) {
        const std::int32_t l = i - 1;
        const std::int32_t n = l + 1;
        z[N][l] = z[l][l];
        z[l][l] = 1.0;
        const double h = w[i];
        if (h != 0.0) {
            const double rh = 1.0 / h;
            for (std::int32_t k = 0; k <= l; ++k) w[k] = z[k][i] * rh;
            for (std::int32_t j = 0; j <= l; ++j) g[j] = 0.0;
            for (std::int32_t k = 0; k <= l; ++k) ops.addScaled(g, z[k], z[k][i], n);
            for (std::int32_t k = 0; k <= l; ++k) ops.subtractScaled(z[k], g, w[k], n);
        }
        for (std::int32_t k = 0; k <= l; ++k) z[k][i] = 0.0;
    }
    for (std::int32_t i = 0; i <= N; ++i) {
        w[i] = z[N][i];
        z[N][i] = 0.0;
    }
    z[N][N] = 1.0;
    e[0] = 0.0;
}

}  // namespace corvane
