// Follows EISPACK tred1: Householder reduction to tridiagonal form, values only.
#include <cmath>

#include "core/numeric_helpers.h"
#include "eigen/symmetric/kernels.h"

namespace corvane {

void TridiagonalizeValues(std::int32_t N, double* const* a, double* w, double* e) {
    for (std::int32_t i = 0; i <= N; ++i) {
        w[i] = a[N][i];
        a[N][i] = a[i][i];
    }
    for (std::int32_t i = N; i >= 0; --i) {
        const std::int32_t l = i - 1;
        if (l < 0) {
            e[i] = 0.0;
            continue;
        }
        double scale = 0.0;
        for (std::int32_t k = 0; k <= l; ++k) scale += std::fabs(w[k]);
        if (scale == 0.0) {
            for (std::int32_t j = 0; j <= l; ++j) {
                w[j] = a[l][j];
                a[l][j] = a[i][j];
                a[i][j] = 0.0;
            }
            e[i] = 0.0;
            continue;
        }
        double h = 0.0;
        const double rscale = 1.0 / scale;
        for (std::int32_t k = 0; k <= l; ++k) {
            w[k] = w[k] * rscale;
            h = h + w[k] * w[k];
        }
        double f = w[l];
        double g = -TransferSign(std::sqrt(h), f);
        e[i] = scale * g;
        h = h - f * g;
        w[l] = f - g;
        if (l != 0) {
            // A·u into e.
            for (std::int32_t j = 0; j <= l; ++j) e[j] = 0.0;
            for (std::int32_t j = 0; j <= l; ++j) {
                f = w[j];
                g = e[j] + a[j][j] * f;
                for (std::int32_t k = j + 1; k <= l; ++k) {
                    g = g + a[k][j] * w[k];
                    e[k] = e[k] + a[k][j] * f;
                }
                e[j] = g;
            }
            // p = A·u / h, and K = uᵀp / 2h.
            f = 0.0;
            const double rh = 1.0 / h;
            for (std::int32_t j = 0; j <= l; ++j) {
                e[j] = e[j] * rh;
                f = f + e[j] * w[j];
            }
            h = f / (h + h);
            for (std::int32_t j = 0; j <= l; ++j) e[j] = e[j] - h * w[j];
            // A − u·qᵀ − q·uᵀ on the lower triangle.
            for (std::int32_t j = 0; j <= l; ++j) {
                f = w[j];
                g = e[j];
                for (std::int32_t k = j; k <= l; ++k) a[k][j] = a[k][j] - (f * e[k] + g * w[k]);
            }
        }
        for (std::int32_t j = 0; j <= l; ++j) {
            f = w[j];
            w[j] = a[l][j];
            a[l][j] = a[i][j];
            a[i][j] = f * scale;
        }
    }
}

}  // namespace corvane
