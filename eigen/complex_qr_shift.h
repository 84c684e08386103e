// The shift of one complex QR step, shared by ComplexQRValues and
// ComplexQRVectors (internal to the complex eigen kernel).
#pragma once

#include <cmath>
#include <cstdint>

#include "core/complex.h"
#include "eigen/complex_eigen.h"

namespace corvane::complex_qr {

// Wilkinson's shift from the trailing 2 × 2 block of rows enm1, en, or the
// exceptional shift at its = 10 and 20. The exceptional shift uses the
// subdiagonal element hr[enm1][en − 2]; for en = 1 it lies outside the
// matrix and counts as 0.
inline void Shift(double* const* hr, double* const* hi, std::int32_t en, std::int32_t its, double* sr, double* si) {
    const std::int32_t enm1 = en - 1;
    if (its == 10 || its == 20) {
        *sr = std::fabs(hr[en][enm1]) + (en >= 2 ? std::fabs(hr[enm1][en - 2]) : 0.0);
        *si = 0.0;
        return;
    }
    double r = hr[en][en];
    double i = hi[en][en];
    double xr = hr[enm1][en] * hr[en][enm1];
    double xi = hi[enm1][en] * hr[en][enm1];
    if (xr != 0.0 || xi != 0.0) {
        const double yr = (hr[enm1][enm1] - r) * 0.5;
        const double yi = (hi[enm1][enm1] - i) * 0.5;
        double zzr, zzi;
        ComplexSqrtBranch(yr * yr - yi * yi + xr, 2.0 * yr * yi + xi, &zzr, &zzi);
        if (yr * zzr + yi * zzi < 0.0) {
            zzr = -zzr;
            zzi = -zzi;
        }
        ComplexDivideParts(xr, xi, yr + zzr, yi + zzi, &xr, &xi);
        r = r - xr;
        i = i - xi;
    }
    *sr = r;
    *si = i;
}

// The first l (from en down to low + 1) whose subdiagonal element is
// negligible beside its two diagonal neighbours, or low.
inline std::int32_t SmallSubdiagonal(double* const* hr, double* const* hi, std::int32_t low, std::int32_t en) {
    std::int32_t l = en;
    for (; l > low; --l) {
        const double tst1 = std::fabs(hr[l - 1][l - 1]) + std::fabs(hi[l - 1][l - 1]) + std::fabs(hr[l][l]) +
                            std::fabs(hi[l][l]);
        if (tst1 + std::fabs(hr[l][l - 1]) == tst1) break;
    }
    return l;
}

// The iteration budget: 30 × N unless a test passes its own.
inline std::int64_t Budget(std::int32_t N, std::int64_t budget) {
    return budget >= 0 ? budget : 30 * static_cast<std::int64_t>(N);
}

}  // namespace corvane::complex_qr
