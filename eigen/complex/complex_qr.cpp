// Follows EISPACK comqr (eigenvalues only) and comqr2 (eigenvectors too, from
// the reflectors of corth): complex QR iteration with Wilkinson's shift on a
// Hessenberg matrix. One iteration serves both; comqr2 applies each step to
// whole rows and columns and to z, comqr to the active block only.
#include <cmath>

#include "core/complex.h"
#include "core/numeric_helpers.h"
#include "eigen/complex/kernels.h"

namespace corvane {
namespace {

// Wilkinson's shift from the trailing 2 × 2 block of rows enm1, en, or the
// exceptional shift at its = 10 and 20. The exceptional shift uses the
// subdiagonal element hr[enm1][en − 2]; for en = 1 it lies outside the
// matrix and counts as 0.
void Shift(double* const* hr, double* const* hi, std::int32_t en, std::int32_t its, double* sr, double* si) {
    const std::int32_t enm1 = en - 1;
    if (its == 10 || its == 20) {
        *sr = Abs(hr[en][enm1]) + (en >= 2 ? Abs(hr[enm1][en - 2]) : 0.0);
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
std::int32_t SmallSubdiagonal(double* const* hr, double* const* hi, std::int32_t low, std::int32_t en) {
    std::int32_t l = en;
    for (; l > low; --l) {
        const double tst1 = Abs(hr[l - 1][l - 1]) + Abs(hi[l - 1][l - 1]) + Abs(hr[l][l]) + Abs(hi[l][l]);
        if (tst1 + Abs(hr[l][l - 1]) == tst1) break;
    }
    return l;
}

template <bool kVectors>
KernelCode ComplexQR(std::int32_t N, std::int32_t low, std::int32_t igh, double* ortr, double* orti, double* const* hr,
                     double* const* hi, double* wr, double* wi, double* const* zr, double* const* zi,
                     std::int64_t budget, std::int32_t* unfinished) {
    if constexpr (kVectors) {
        for (std::int32_t i = 0; i <= N; ++i) {
            for (std::int32_t j = 0; j <= N; ++j) {
                zr[i][j] = 0.0;
                zi[i][j] = 0.0;
            }
            zr[i][i] = 1.0;
        }

        // Accumulate the reflectors left by ComplexHessenbergReduce.
        if (igh - low - 1 >= 1) {
            for (std::int32_t i = igh - 1; i >= low + 1; --i) {
                if (ortr[i] == 0.0 && orti[i] == 0.0) continue;
                if (hr[i][i - 1] == 0.0 && hi[i][i - 1] == 0.0) continue;
                // The negative of the h of the reduction.
                const double nrm = hr[i][i - 1] * ortr[i] + hi[i][i - 1] * orti[i];
                for (std::int32_t k = i + 1; k <= igh; ++k) {
                    ortr[k] = hr[k][i - 1];
                    orti[k] = hi[k][i - 1];
                }
                const double rn = 1.0 / nrm;
                for (std::int32_t j = i; j <= igh; ++j) {
                    double sr = 0.0, si = 0.0;
                    for (std::int32_t k = i; k <= igh; ++k) {
                        sr = sr + (ortr[k] * zr[k][j] + orti[k] * zi[k][j]);
                        si = si + (ortr[k] * zi[k][j] - orti[k] * zr[k][j]);
                    }
                    sr = sr * rn;
                    si = si * rn;
                    for (std::int32_t k = i; k <= igh; ++k) {
                        zr[k][j] = zr[k][j] + (sr * ortr[k] - si * orti[k]);
                        zi[k][j] = zi[k][j] + (sr * orti[k] + si * ortr[k]);
                    }
                }
            }
        }
    }

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
            for (std::int32_t j = i; j <= (kVectors ? N : igh); ++j) {
                const double si = yr * hi[i][j] - yi * hr[i][j];
                hr[i][j] = yr * hr[i][j] + yi * hi[i][j];
                hi[i][j] = si;
            }
            for (std::int32_t j = kVectors ? 0 : low; j <= ll; ++j) {
                const double si = yr * hi[j][i] + yi * hr[j][i];
                hr[j][i] = yr * hr[j][i] - yi * hi[j][i];
                hi[j][i] = si;
            }
            if constexpr (kVectors)
                for (std::int32_t j = low; j <= igh; ++j) {
                    const double si = yr * zi[j][i] + yi * zr[j][i];
                    zr[j][i] = yr * zr[j][i] - yi * zi[j][i];
                    zi[j][i] = si;
                }
        }
    }

    std::int32_t en = igh;
    double tr = 0.0, ti = 0.0;
    std::int64_t itn = BudgetOr(budget, 30 * static_cast<std::int64_t>(N));
    while (en >= low) {
        std::int32_t its = 0;
        const std::int32_t enm1 = en - 1;
        for (;;) {
            const std::int32_t l = SmallSubdiagonal(hr, hi, low, en);
            if (l == en) {  // a root
                wr[en] = hr[en][en] + tr;
                wi[en] = hi[en][en] + ti;
                if constexpr (kVectors) {
                    hr[en][en] = wr[en];
                    hi[en][en] = wi[en];
                }
                break;
            }
            if (itn == 0) {
                if (unfinished != nullptr) *unfinished = en;
                return kKernelNoConvergence;
            }

            double sr, si;
            Shift(hr, hi, en, its, &sr, &si);
            for (std::int32_t i = low; i <= en; ++i) {
                hr[i][i] -= sr;
                hi[i][i] -= si;
            }
            tr += sr;
            ti += si;
            ++its;
            --itn;

            // Reduce to triangle (rows): comqr2 carries each step across the
            // whole rows and columns of h and into z, comqr keeps to the
            // active block.
            const std::int32_t lastColumn = kVectors ? N : en;
            const std::int32_t firstRow = kVectors ? 0 : l;
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
                for (std::int32_t j = i; j <= lastColumn; ++j) {
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
                if constexpr (kVectors)
                    for (std::int32_t j = en + 1; j <= N; ++j) {
                        const double yr = hr[en][j], yi = hi[en][j];
                        hr[en][j] = sr * yr + si * yi;
                        hi[en][j] = sr * yi - si * yr;
                    }
            }

            // Inverse operation (columns).
            for (std::int32_t j = l + 1; j <= en; ++j) {
                const double xr = wr[j - 1], xi = wi[j - 1];
                const double s = hi[j][j - 1];
                for (std::int32_t i = firstRow; i <= j; ++i) {
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
                if constexpr (kVectors)
                    for (std::int32_t i = low; i <= igh; ++i) {
                        const double yr = zr[i][j - 1], yi = zi[i][j - 1];
                        const double zzr = zr[i][j], zzi = zi[i][j];
                        zr[i][j - 1] = xr * yr - xi * yi + s * zzr;
                        zi[i][j - 1] = xr * yi + xi * yr + s * zzi;
                        zr[i][j] = xr * zzr + xi * zzi - s * yr;
                        zi[i][j] = xr * zzi - xi * zzr - s * yi;
                    }
            }

            if (si != 0.0) {
                for (std::int32_t i = firstRow; i <= en; ++i) {
                    const double yr = hr[i][en], yi = hi[i][en];
                    hr[i][en] = sr * yr - si * yi;
                    hi[i][en] = sr * yi + si * yr;
                }
                if constexpr (kVectors)
                    for (std::int32_t i = low; i <= igh; ++i) {
                        const double yr = zr[i][en], yi = zi[i][en];
                        zr[i][en] = sr * yr - si * yi;
                        zi[i][en] = sr * yi + si * yr;
                    }
            }
        }
        en = enm1;
    }

    if constexpr (kVectors) {
        // Back-substitution for the eigenvectors of the triangular form.
        double nrm = 0.0;
        for (std::int32_t i = 0; i <= N; ++i)
            for (std::int32_t j = i; j <= N; ++j) {
                const double t = Abs(hr[i][j]) + Abs(hi[i][j]);
                if (t > nrm) nrm = t;
            }
        if (N == 0 || nrm == 0.0) return kKernelOk;

        for (std::int32_t e = N; e >= 1; --e) {
            const double xr = wr[e], xi = wi[e];
            hr[e][e] = 1.0;
            hi[e][e] = 0.0;
            for (std::int32_t i = e - 1; i >= 0; --i) {
                Complex zz{0.0, 0.0};
                for (std::int32_t j = i + 1; j <= e; ++j)
                    zz += Complex{hr[i][j], hi[i][j]} * Complex{hr[j][e], hi[j][e]};
                double yr = xr - wr[i];
                double yi = xi - wi[i];
                if (yr == 0.0 && yi == 0.0) {
                    // An equal eigenvalue: perturb the divisor to below the last
                    // bit of the norm.
                    yr = nrm;
                    do yr = 0.01 * yr;
                    while (nrm + yr > nrm);
                }
                ComplexDivideParts(zz.Real, zz.Imag, yr, yi, &hr[i][e], &hi[i][e]);
                const double t = Abs(hr[i][e]) + Abs(hi[i][e]);
                if (t != 0.0 && t + 1.0 / t <= t) {  // overflow control
                    const double rt = 1.0 / t;
                    for (std::int32_t j = i; j <= e; ++j) {
                        hr[j][e] = hr[j][e] * rt;
                        hi[j][e] = hi[j][e] * rt;
                    }
                }
            }
        }

        // Back-transformation. Column low is left as accumulated: its triangular
        // eigenvector is the unit vector, and the diagonal there still holds the
        // eigenvalue (a zero one would wipe the column).
        for (std::int32_t j = N; j >= low + 1; --j) {
            const std::int32_t mm = j < igh ? j : igh;
            for (std::int32_t i = low; i <= igh; ++i) {
                Complex zz{0.0, 0.0};
                for (std::int32_t k = low; k <= mm; ++k)
                    zz += Complex{zr[i][k], zi[i][k]} * Complex{hr[k][j], hi[k][j]};
                zr[i][j] = zz.Real;
                zi[i][j] = zz.Imag;
            }
        }
    }
    return kKernelOk;
}

}  // namespace

KernelCode ComplexQRValues(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* hr, double* const* hi,
                           double* wr, double* wi, std::int64_t budget, std::int32_t* unfinished) {
    return ComplexQR<false>(N, low, igh, nullptr, nullptr, hr, hi, wr, wi, nullptr, nullptr, budget, unfinished);
}

KernelCode ComplexQRVectors(std::int32_t N, std::int32_t low, std::int32_t igh, double* ortr, double* orti,
                            double* const* hr, double* const* hi, double* wr, double* wi, double* const* zr,
                            double* const* zi, std::int64_t budget, std::int32_t* unfinished) {
    return ComplexQR<true>(N, low, igh, ortr, orti, hr, hi, wr, wi, zr, zi, budget, unfinished);
}

}  // namespace corvane
