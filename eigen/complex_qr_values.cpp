// EISPACK comqr.
#include <cmath>

#include "eigen/complex_eigen.h"
#include "eigen/complex_qr_shift.h"

namespace corvane {

std::int32_t ComplexQRValues(std::int32_t nm, std::int32_t N, std::int32_t low, std::int32_t igh,
                             double* const* hr, double* const* hi, double* wr, double* wi, std::int64_t budget) {
    (void)nm;
    // Real subdiagonal elements, by a diagonal unitary similarity.
    if (igh - low - 1 >= 0) {
        for (std::int32_t i = low + 1; i <= igh; ++i) {
            const std::int32_t ll = i + 1 < igh ? i + 1 : igh;
            if (hi[i][i - 1] == 0.0) continue;
            const double nrm = IterativeHypot(hr[i][i - 1], hi[i][i - 1]);
            const double rn = 1.0 / nrm;
            const double yr = hr[i][i - 1] * rn;
            const double yi = hi[i][i - 1] * rn;
            hr[i][i - 1] = nrm;
            hi[i][i - 1] = 0.0;
            for (std::int32_t j = i; j <= igh; ++j) {
                const double si = yr * hi[i][j] - yi * hr[i][j];
                hr[i][j] = yr * hr[i][j] + yi * hi[i][j];
                hi[i][j] = si;
            }
            for (std::int32_t j = low; j <= ll; ++j) {
                const double si = yr * hi[j][i] + yi * hr[j][i];
                hr[j][i] = yr * hr[j][i] - yi * hi[j][i];
                hi[j][i] = si;
            }
        }
    }

    std::int32_t en = igh;
    double tr = 0.0, ti = 0.0;
    std::int64_t itn = complex_qr::Budget(N, budget);
    while (en >= low) {
        std::int32_t its = 0;
        const std::int32_t enm1 = en - 1;
        for (;;) {
            const std::int32_t l = complex_qr::SmallSubdiagonal(hr, hi, low, en);
            if (l == en) {  // a root
                wr[en] = hr[en][en] + tr;
                wi[en] = hi[en][en] + ti;
                break;
            }
            if (itn == 0) return en;

            double sr, si;
            complex_qr::Shift(hr, hi, en, its, &sr, &si);
            for (std::int32_t i = low; i <= en; ++i) {
                hr[i][i] -= sr;
                hi[i][i] -= si;
            }
            tr += sr;
            ti += si;
            ++its;
            --itn;

            // Reduce to triangle (rows).
            for (std::int32_t i = l + 1; i <= en; ++i) {
                const double sub = hr[i][i - 1];
                hr[i][i - 1] = 0.0;
                const double nrm = IterativeHypot(IterativeHypot(hr[i - 1][i - 1], hi[i - 1][i - 1]), sub);
                const double rn = 1.0 / nrm;
                const double xr = hr[i - 1][i - 1] * rn;
                wr[i - 1] = xr;
                const double xi = hi[i - 1][i - 1] * rn;
                wi[i - 1] = xi;
                hr[i - 1][i - 1] = nrm;
                hi[i - 1][i - 1] = 0.0;
                hi[i][i - 1] = sub * rn;
                const double s = hi[i][i - 1];
                for (std::int32_t j = i; j <= en; ++j) {
                    const double yr = hr[i - 1][j], yi = hi[i - 1][j];
                    const double zzr = hr[i][j], zzi = hi[i][j];
                    hr[i - 1][j] = xr * yr + xi * yi + s * zzr;
                    hi[i - 1][j] = xr * yi - xi * yr + s * zzi;
                    hr[i][j] = xr * zzr - xi * zzi - s * yr;
                    hi[i][j] = xr * zzi + xi * zzr - s * yi;
                }
            }

            si = hi[en][en];
            if (si != 0.0) {
                const double nrm = IterativeHypot(hr[en][en], si);
                const double rn = 1.0 / nrm;
                sr = hr[en][en] * rn;
                si = si * rn;
                hr[en][en] = nrm;
                hi[en][en] = 0.0;
            }

            // Inverse operation (columns).
            for (std::int32_t j = l + 1; j <= en; ++j) {
                const double xr = wr[j - 1], xi = wi[j - 1];
                const double s = hi[j][j - 1];
                for (std::int32_t i = l; i <= j; ++i) {
                    const double yr = hr[i][j - 1];
                    double yi = 0.0;
                    const double zzr = hr[i][j], zzi = hi[i][j];
                    if (i != j) {
                        yi = hi[i][j - 1];
                        hi[i][j - 1] = xr * yi + xi * yr + s * zzi;
                    }
                    hr[i][j - 1] = xr * yr - xi * yi + s * zzr;
                    hr[i][j] = xr * zzr + xi * zzi - s * yr;
                    hi[i][j] = xr * zzi - xi * zzr - s * yi;
                }
            }

            if (si != 0.0) {
                for (std::int32_t i = l; i <= en; ++i) {
                    const double yr = hr[i][en], yi = hi[i][en];
                    hr[i][en] = sr * yr - si * yi;
                    hi[i][en] = sr * yi + si * yr;
                }
            }
        }
        en = enm1;
    }
    return 0;
}

}  // namespace corvane
