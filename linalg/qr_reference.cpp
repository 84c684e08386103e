#include "core/numeric_helpers.h"
#include "linalg/kernel_codes.h"
#include "linalg/reference_kernels.h"

namespace corvane {

// HouseholderQR as the algorithm reads, one column sum at a time.
int HouseholderQRReference(double** w, std::int32_t m, std::int32_t n, double* rdiag) {
    for (std::int32_t k = 0; k < n; ++k) {
        double norm = 0.0;
        for (std::int32_t i = k; i < m; ++i) norm = ScaledHypot(norm, w[i][k]);
        if (norm != 0.0) {
            if (w[k][k] < 0.0) norm = -norm;
            const double t = 1.0 / norm;
            for (std::int32_t i = k; i < m; ++i) w[i][k] *= t;
            w[k][k] += 1.0;
            const double factor = -1.0 / w[k][k];
            for (std::int32_t j = k + 1; j < n; ++j) {
                double s = 0.0;
                for (std::int32_t i = k; i < m; ++i) s += w[i][k] * w[i][j];
                s = factor * s;
                for (std::int32_t i = k; i < m; ++i) w[i][j] += s * w[i][k];
            }
        }
        rdiag[k] = -norm;  // a zero column gives −0.0 and stays unreflected
    }
    return kKernelOk;
}

// HouseholderFormQ as the algorithm reads, one column sum at a time.
int HouseholderFormQReference(double* const* w, std::int32_t m, std::int32_t n, double** q) {
    for (std::int32_t k = n - 1; k >= 0; --k) {
        for (std::int32_t i = 0; i < m; ++i) q[i][k] = 0.0;
        q[k][k] = 1.0;
        if (w[k][k] == 0.0) continue;  // column k was not reflected
        const double factor = -1.0 / w[k][k];
        for (std::int32_t j = k; j < n; ++j) {
            double s = 0.0;
            for (std::int32_t i = k; i < m; ++i) s += w[i][k] * q[i][j];
            s = factor * s;
            for (std::int32_t i = k; i < m; ++i) q[i][j] += s * w[i][k];
        }
    }
    return kKernelOk;
}

}  // namespace corvane
