// Follows EISPACK hqr: Francis double-shift QR on a Hessenberg matrix, eigenvalues only.
#include <algorithm>
#include <cmath>

#include "eigen/general_kernels.h"
#include "core/numeric_helpers.h"

namespace corvane {

void HessenbergQRValues(std::int32_t /*nm*/, std::int32_t n, std::int32_t low, std::int32_t igh, double* const* h,
                        double* wr, double* wi, std::int32_t* ierr, std::int64_t budget) {
    *ierr = 0;
    double norm = 0.0;
    for (std::int32_t i = 0; i <= n; ++i)
        for (std::int32_t j = std::max(i - 1, 0); j <= n; ++j) norm = norm + std::fabs(h[i][j]);

    std::int32_t en = igh;
    double t = 0.0;
    std::int64_t itn = budget >= 0 ? budget : 30 * static_cast<std::int64_t>(n);
    while (en >= low) {
        std::int32_t its = 0;
        const std::int32_t na = en - 1;
        const std::int32_t enm2 = na - 1;
        for (;;) {
            std::int32_t l = en;
            for (; l >= low + 1; --l) {
                double s = std::fabs(h[l - 1][l - 1]) + std::fabs(h[l][l]);
                if (s == 0.0) s = norm;
                if (s + std::fabs(h[l][l - 1]) == s) break;
            }
            double x = h[en][en];
            if (l == en) {  // one root
                wr[en] = x + t;
                wi[en] = 0.0;
                en = na;
                break;
            }
            double y = h[na][na];
            double w = h[en][na] * h[na][en];
            if (l == na) {  // two roots
                const double p = (y - x) * 0.5;
                const double q = p * p + w;
                double zz = std::sqrt(std::fabs(q));
                x = x + t;
                if (q >= 0.0) {
                    zz = p + TransferSign(zz, p);
                    wr[na] = x + zz;
                    wr[en] = wr[na];
                    if (zz != 0.0) wr[en] = x - w / zz;
                    wi[na] = 0.0;
                    wi[en] = 0.0;
                } else {
                    wr[na] = x + p;
                    wr[en] = x + p;
                    wi[na] = zz;
                    wi[en] = -zz;
                }
                en = enm2;
                break;
            }
            if (itn == 0) {
                *ierr = en;
                return;
            }
            if (its == 10 || its == 20) {  // exceptional shift
                t = t + x;
                for (std::int32_t i = low; i <= en; ++i) h[i][i] = h[i][i] - x;
                const double s = std::fabs(h[en][na]) + std::fabs(h[na][enm2]);
                x = 0.75 * s;
                y = x;
                w = -0.4375 * s * s;
            }
            ++its;
            --itn;
            std::int32_t m = enm2;
            double p = 0.0, q = 0.0, r = 0.0;
            for (;; --m) {
                const double zz = h[m][m];
                r = x - zz;
                double s = y - zz;
                p = (r * s - w) / h[m + 1][m] + h[m][m + 1];
                q = h[m + 1][m + 1] - zz - r - s;
                r = h[m + 2][m + 1];
                s = std::fabs(p) + std::fabs(q) + std::fabs(r);
                const double rs = 1.0 / s;
                p = p * rs;
                q = q * rs;
                r = r * rs;
                if (m == l) break;
                const double tst1 = std::fabs(p) * (std::fabs(h[m - 1][m - 1]) + std::fabs(zz) + std::fabs(h[m + 1][m + 1]));
                if (tst1 + std::fabs(h[m][m - 1]) * (std::fabs(q) + std::fabs(r)) == tst1) break;
            }
            for (std::int32_t i = m + 2; i <= en; ++i) {
                h[i][i - 2] = 0.0;
                if (i != m + 2) h[i][i - 3] = 0.0;
            }
            // Double QR step on rows l..en and columns m..en of the active block.
            for (std::int32_t k = m; k <= na; ++k) {
                const bool notlast = k != na;
                if (k != m) {
                    p = h[k][k - 1];
                    q = h[k + 1][k - 1];
                    r = notlast ? h[k + 2][k - 1] : 0.0;
                    x = std::fabs(p) + std::fabs(q) + std::fabs(r);
                    if (x == 0.0) continue;
                    const double rx = 1.0 / x;
                    p = p * rx;
                    q = q * rx;
                    r = r * rx;
                }
                const double s = TransferSign(std::sqrt(p * p + q * q + r * r), p);
                if (k != m)
                    h[k][k - 1] = -s * x;
                else if (l != m)
                    h[k][k - 1] = -h[k][k - 1];
                p = p + s;
                const double rs = 1.0 / s;
                x = p * rs;
                y = q * rs;
                const double zz = r * rs;
                const double rp = 1.0 / p;
                q = q * rp;
                r = r * rp;
                const std::int32_t last = std::min(en, k + 3);
                if (notlast) {
                    for (std::int32_t j = k; j <= en; ++j) {
                        const double v = h[k][j] + q * h[k + 1][j] + r * h[k + 2][j];
                        h[k][j] = h[k][j] - v * x;
                        h[k + 1][j] = h[k + 1][j] - v * y;
                        h[k + 2][j] = h[k + 2][j] - v * zz;
                    }
                    for (std::int32_t i = l; i <= last; ++i) {
                        const double v = x * h[i][k] + y * h[i][k + 1] + zz * h[i][k + 2];
                        h[i][k] = h[i][k] - v;
                        h[i][k + 1] = h[i][k + 1] - v * q;
                        h[i][k + 2] = h[i][k + 2] - v * r;
                    }
                } else {
                    for (std::int32_t j = k; j <= en; ++j) {
                        const double v = h[k][j] + q * h[k + 1][j];
                        h[k][j] = h[k][j] - v * x;
                        h[k + 1][j] = h[k + 1][j] - v * y;
                    }
                    for (std::int32_t i = l; i <= last; ++i) {
                        const double v = x * h[i][k] + y * h[i][k + 1];
                        h[i][k] = h[i][k] - v;
                        h[i][k + 1] = h[i][k + 1] - v * q;
                    }
                }
            }
        }
    }
}

}  // namespace corvane
