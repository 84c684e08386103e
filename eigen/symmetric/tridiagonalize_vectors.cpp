// Follows EISPACK tred2: Householder reduction to tridiagonal form with the transformation accumulated.
#include <cmath>

#include "core/numeric_helpers.h"
#include "eigen/symmetric/kernels.h"

namespace corvane {

void TridiagonalizeVectors(std::int32_t N, double* const* a, double* w, double* e, double* const* z) {
    for (std::int32_t i = 0; i <= N; ++i) {
        for (std::int32_t j = i; j <= N; ++j) z[j][i] = a[j][i];
        w[i] = a[N][i];
    }
    for (std::int32_t i = N; i >= 1; --i) {
        const std::int32_t l = i - 1;
        double h = 0.0;
        double scale = 0.0;
        if (l >= 1)
            for (std::int32_t k = 0; k <= l; ++k) scale += std::fabs(w[k]);
        if (l == 0 || scale == 0.0) {
            e[i] = w[l];
            for (std::int32_t j = 0; j <= l; ++j) {
                w[j] = z[l][j];
                z[i][j] = 0.0;
                z[j][i] = 0.0;
            }
            w[i] = h;
            continue;
        }
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
        for (std::int32_t j = 0; j <= l; ++j) e[j] = 0.0;
        for (std::int32_t j = 0; j <= l; ++j) {
            f = w[j];
            z[j][i] = f;
            g = e[j] + z[j][j] * f;
            for (std::int32_t k = j + 1; k <= l; ++k) {
                g = g + z[k][j] * w[k];
                e[k] = e[k] + z[k][j] * f;
            }
            e[j] = g;
        }
        f = 0.0;
        const double rh = 1.0 / h;
        for (std::int32_t j = 0; j <= l; ++j) {
            e[j] = e[j] * rh;
            f = f + e[j] * w[j];
        }
        const double hh = f / (h + h);
        for (std::int32_t j = 0; j <= l; ++j) e[j] = e[j] - hh * w[j];
        for (std::int32_t j = 0; j <= l; ++j) {
            f = w[j];
            g = e[j];
            for (std::int32_t k = j; k <= l; ++k) z[k][j] = z[k][j] - (f * e[k] + g * w[k]);
            w[j] = z[l][j];
            z[i][j] = 0.0;
        }
        w[i] = h;
    }
    // Accumulate the transformations; w[i] holds each reflector's h.
    for (std::int32_t i = 1; i <= N; ++i) {
        const std::int32_t l = i - 1;
        z[N][l] = z[l][l];
        z[l][l] = 1.0;
        const double h = w[i];
        if (h != 0.0) {
            const double rh = 1.0 / h;
            for (std::int32_t k = 0; k <= l; ++k) w[k] = z[k][i] * rh;
            for (std::int32_t j = 0; j <= l; ++j) {
                double g = 0.0;
                for (std::int32_t k = 0; k <= l; ++k) g = g + z[k][i] * z[k][j];
                for (std::int32_t k = 0; k <= l; ++k) z[k][j] = z[k][j] - g * w[k];
            }
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
