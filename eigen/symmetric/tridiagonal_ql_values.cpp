// Follows EISPACK tql1: implicit QL iteration on a symmetric tridiagonal matrix, values only.
#include <cmath>

#include "core/numeric_helpers.h"
#include "eigen/symmetric/kernels.h"

namespace corvane {

KernelCode TridiagonalQLValues(std::int32_t N, double* w, double* e, std::int64_t budget) {
    if (N == 0) return kKernelOk;
    const std::int64_t perValue = BudgetOr(budget, 30);
    for (std::int32_t i = 1; i <= N; ++i) e[i - 1] = e[i];
    e[N] = 0.0;
    double f = 0.0;
    double tst1 = 0.0;
    for (std::int32_t l = 0; l <= N; ++l) {
        std::int32_t j = 0;
        const double h0 = std::fabs(w[l]) + std::fabs(e[l]);
        if (tst1 < h0) tst1 = h0;
        std::int32_t m = l;
        while (m < N && !(tst1 + std::fabs(e[m]) == tst1)) ++m;
        if (m != l) {
            for (;;) {
                if (j == perValue) return kKernelNoConvergence;
                ++j;
                double g = w[l];
                double p = (w[l + 1] - g) / (e[l] + e[l]);
                double r = ScaledHypot(p, 1.0);
                w[l] = e[l] / (p + TransferSign(r, p));
                w[l + 1] = e[l] * (p + TransferSign(r, p));
                const double dl1 = w[l + 1];
                double h = g - w[l];
                for (std::int32_t i = l + 2; i <= N; ++i) w[i] = w[i] - h;
                f = f + h;
                p = w[m];
                double c = 1.0, c2 = 1.0, c3 = 1.0;
                const double el1 = e[l + 1];
                double s = 0.0, s2 = 0.0;
                for (std::int32_t i = m - 1; i >= l; --i) {
                    c3 = c2;
                    c2 = c;
                    s2 = s;
                    g = c * e[i];
                    h = c * p;
                    r = ScaledHypot(p, e[i]);
                    e[i + 1] = s * r;
                    s = e[i] / r;
                    c = p / r;
                    p = c * w[i] - s * g;
                    w[i + 1] = h + s * (c * g + s * w[i]);
                }
                p = -s * s2 * c3 * el1 * e[l] / dl1;
                e[l] = s * p;
                w[l] = c * p;
                if (!(tst1 + std::fabs(e[l]) > tst1)) break;
            }
        }
        // Insert the converged value among those already placed (after equals).
        const double p = w[l] + f;
        std::int32_t i = l;
        while (i > 0 && p < w[i - 1]) {
            w[i] = w[i - 1];
            --i;
        }
        w[i] = p;
    }
    return kKernelOk;
}

}  // namespace corvane
