// Follows EISPACK comqr (eigenvalues only) and comqr2 (eigenvectors too, from
// the reflectors of corth): complex QR iteration with Wilkinson's shift on a
// Hessenberg matrix. One iteration serves both; comqr2 applies each step to
// whole rows and columns and to z, comqr to the active block only.
#include <algorithm>
#include <cmath>

#include "core/complex.h"
#include "core/numeric_helpers.h"
#include "eigen/complex/kernels.h"
#include "eigen/row_operations.h"
#include "eigen/square_transpose.h"

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

// Columns handled at a time by the loops that run along rows.
constexpr std::int32_t kChunk = 64;
// Rows copied transposed at a time, and columns per copy, for the column steps.
constexpr std::int32_t kGroup = 32;
constexpr std::int32_t kSpan = 64;

// The column steps of one sweep on rows l..en: step j (l + 1..en) combines
// columns j − 1 and j with (wr[j − 1], wi[j − 1], hi[j][j − 1]); then, when
// scale, column en is multiplied by sr + i·si.
struct ColumnSweep {
    std::int32_t l, en;
    const double* wr;
    const double* wi;
    double* const* hi;
    bool scale;
    double sr, si;
};

// Rows first..en of h take the sweep's column steps: row i the steps j >= i,
// and at j = i its element (i, j − 1) has no imaginary part to use or keep.
// No step of the sweep reads another row, so each takes its chain of steps at
// once: kGroup rows are copied transposed, kSpan columns at a time, and each
// step runs across the rows.
void ApplyColumnSweep(const RowOperations& ops, double* const* hr, double* const* hi, std::int32_t first,
                      const ColumnSweep& sw) {
    const std::int32_t last = sw.en;
    double tr[kSpan * kGroup], ti[kSpan * kGroup], coef[3 * kSpan];
    double* columnsR[kSpan];
    double* columnsI[kSpan];
    for (std::int32_t k = 0; k < kSpan; ++k) {
        columnsR[k] = tr + k * kGroup;
        columnsI[k] = ti + k * kGroup;
    }
    for (std::int32_t i0 = first; i0 <= last; i0 += kGroup) {
        const std::int32_t count = std::min(kGroup, last - i0 + 1);
        // Spans share their edge column, which the next span takes on.
        for (std::int32_t c0 = sw.l; c0 < sw.en; c0 += kSpan - 1) {
            const std::int32_t c1 = std::min(c0 + kSpan - 1, sw.en);
            if (c1 < i0) continue;
            const std::int32_t width = c1 - c0 + 1;
            ops.gatherTransposed(tr, kGroup, hr + i0, c0, count, width);
            ops.gatherTransposed(ti, kGroup, hi + i0, c0, count, width);
            // Steps below the group's last row, one at a time; then those
            // every row takes, as one run.
            const std::int32_t runFrom = std::max(c0 + 1, i0 + count);
            for (std::int32_t j = c0 + 1; j < std::min(runFrom, c1 + 1); ++j) {
                const double xr = sw.wr[j - 1], xi = sw.wi[j - 1], s = sw.hi[j][j - 1];
                double* const yr = tr + (j - 1 - c0) * kGroup;
                double* const yi = ti + (j - 1 - c0) * kGroup;
                double* const zr = yr + kGroup;
                double* const zi = yi + kGroup;
                const std::int32_t full = std::min(count, j - i0);  // rows i < j
                if (full > 0) ops.complexColumnStep(yr, yi, zr, zi, xr, xi, s, full);
                if (full >= 0 && full < count) {  // row i = j
                    const double ur = yr[full], vr = zr[full], vi = zi[full];
                    const double ui = 0.0;
                    yr[full] = xr * ur - xi * ui + s * vr;
                    zr[full] = xr * vr + xi * vi - s * ur;
                    zi[full] = xr * vi - xi * vr - s * ui;
                }
            }
            if (runFrom <= c1) {
                for (std::int32_t j = runFrom; j <= c1; ++j) {
                    double* const q = coef + 3 * (j - runFrom);
                    q[0] = sw.wr[j - 1];
                    q[1] = sw.wi[j - 1];
                    q[2] = sw.hi[j][j - 1];
                }
                const std::int32_t k = runFrom - 1 - c0;
                ops.complexStepRun(columnsR + k, columnsI + k, 0, count, coef, 3, c1 - runFrom + 1, false);
            }
            if (sw.scale && c1 == sw.en)
                ops.complexScale(tr + (c1 - c0) * kGroup, ti + (c1 - c0) * kGroup, sw.sr, sw.si, count);
            ops.scatterTransposed(tr, kGroup, hr + i0, c0, count, width);
            ops.scatterTransposed(ti, kGroup, hi + i0, c0, count, width);
        }
    }
}

// Steps owed to rows of one array (z transposed, or h right of the active
// window), applied when their room is full and before the array is read: a
// block of kWidth columns takes every step in order, and stays in cache while
// the sweeps pass over it.
class OwedSteps {
public:
    OwedSteps(const RowOperations& ops, double* const* rr, double* const* ri, std::int32_t last, ComplexSweepStep* room,
              std::int64_t capacity)
        : ops_(ops), rr_(rr), ri_(ri), last_(last), room_(room), capacity_(capacity) {}
    void Add(std::int32_t kind, std::int32_t j, std::int32_t first, double a, double b, double s) {
        if (first > last_) return;
        if (count_ == capacity_) Apply();
        room_[count_++] = ComplexSweepStep{kind, j, first, a, b, s};
        lowest_ = std::min(lowest_, first);
    }
    void Apply() {
        for (std::int32_t c0 = lowest_; c0 <= last_; c0 += kWidth) {
            const std::int32_t c1 = std::min(c0 + kWidth - 1, last_);
            for (std::int64_t k = 0; k < count_; ++k) {
                const ComplexSweepStep& st = room_[k];
                const std::int32_t c = std::max(c0, st.first);
                if (c > c1) continue;
                const std::int32_t n = c1 - c + 1;
                // Steps on successive rows over the same columns go as one run.
                const bool columnStep = st.kind == ComplexSweepStep::kColumnStep;
                if (columnStep || st.kind == ComplexSweepStep::kRowStep) {
                    double coef[3 * kRun];
                    std::int32_t run = 0;
                    while (run < kRun && k + run < count_) {
                        const ComplexSweepStep& t = room_[k + run];
                        if (t.kind != st.kind || t.j != st.j + run || t.first != st.first) break;
                        coef[3 * run] = t.a;
                        coef[3 * run + 1] = t.b;
                        coef[3 * run + 2] = t.s;
                        ++run;
                    }
                    ops_.complexStepRun(rr_ + st.j - 1, ri_ + st.j - 1, c, n, coef, 3, run, !columnStep);
                    k += run - 1;
                    continue;
                }
                if (st.kind == ComplexSweepStep::kScale)
                    ops_.complexScale(rr_[st.j] + c, ri_[st.j] + c, st.a, st.b, n);
                else
                    ops_.complexScaleConjugate(rr_[st.j] + c, ri_[st.j] + c, st.a, st.b, n);
            }
        }
        count_ = 0;
        lowest_ = INT32_MAX;
    }

private:
    static constexpr std::int32_t kWidth = 32;
    static constexpr std::int32_t kRun = 64;  // steps per run at most
    const RowOperations& ops_;
    double* const* rr_;
    double* const* ri_;
    std::int32_t last_;
    ComplexSweepStep* room_;
    std::int64_t capacity_;
    std::int64_t count_ = 0;
    std::int32_t lowest_ = INT32_MAX;
};

// What comqr2 owes: to z (transposed), and to h right of the active window.
struct OwedToBoth {
    OwedSteps z, h;
    void Apply() {
        z.Apply();
        h.Apply();
    }
};

template <bool kVectors>
KernelCode ComplexQR(std::int32_t N, std::int32_t low, std::int32_t igh, double* ortr, double* orti, double* const* hr,
                     double* const* hi, double* wr, double* wi, double* const* zr, double* const* zi, OwedToBoth* owed,
                     std::int64_t budget, std::int32_t* unfinished) {
    const RowOperations& ops = ActiveRowOperations();
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
                // Column j of z takes the reflector; kChunk columns at a time,
                // their sums side by side, each in increasing k.
                for (std::int32_t j0 = i; j0 <= igh; j0 += kChunk) {
                    const std::int32_t w = std::min(kChunk, igh - j0 + 1);
                    double sr[kChunk], si[kChunk];
                    std::fill(sr, sr + w, 0.0);
                    std::fill(si, si + w, 0.0);
                    for (std::int32_t k = i; k <= igh; ++k)
                        ops.addConjugateProduct(sr, si, zr[k] + j0, zi[k] + j0, ortr[k], orti[k], w);
                    for (std::int32_t c = 0; c < w; ++c) {
                        sr[c] = sr[c] * rn;
                        si[c] = si[c] * rn;
                    }
                    for (std::int32_t k = i; k <= igh; ++k)
                        ops.addProductWith(zr[k] + j0, zi[k] + j0, sr, si, ortr[k], orti[k], w);
                }
            }
        }
    }

    // From here on z is held transposed (row k is column k), so that the
    // column steps of the iteration run along rows.
    if constexpr (kVectors) {
        TransposeSquare(N, zr);
        TransposeSquare(N, zi);
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
            if constexpr (kVectors) ops.complexScale(zr[i] + low, zi[i] + low, yr, yi, igh - low + 1);
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
                if constexpr (kVectors) {
                    owed->Apply();
                    TransposeSquare(N, zr);
                    TransposeSquare(N, zi);
                }
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
                ops.complexRowStep(hr[i - 1] + i, hi[i - 1] + i, hr[i] + i, hi[i] + i, xr, xi, hi[i][i - 1],
                                   en - i + 1);
                if constexpr (kVectors) owed->h.Add(ComplexSweepStep::kRowStep, i, en + 1, xr, xi, hi[i][i - 1]);
            }

            si = hi[en][en];
            if (si != 0.0) {
                const double nrm = IterativeHypot(hr[en][en], si);
                const double rn = 1.0 / nrm;
                sr = hr[en][en] * rn;
                si = si * rn;
                hr[en][en] = nrm;
                hi[en][en] = 0.0;
                if constexpr (kVectors) owed->h.Add(ComplexSweepStep::kScaleConjugate, en, en + 1, sr, si, 0.0);
            }

            // Inverse operation (columns), row by row: no step reads the
            // rows of another.
            const ColumnSweep sweep{l, en, wr, wi, hi, si != 0.0, sr, si};
            ApplyColumnSweep(ops, hr, hi, firstRow, sweep);
            if constexpr (kVectors) {
                for (std::int32_t j = l + 1; j <= en; ++j)
                    owed->z.Add(ComplexSweepStep::kColumnStep, j, low, wr[j - 1], wi[j - 1], hi[j][j - 1]);
                if (sweep.scale) owed->z.Add(ComplexSweepStep::kScale, en, low, sr, si, 0.0);
            }
        }
        en = enm1;
    }

    if constexpr (kVectors) {
        owed->Apply();
        TransposeSquare(N, zr);
        TransposeSquare(N, zi);
        // Back-substitution for the eigenvectors of the triangular form.
        double nrm = 0.0;
        for (std::int32_t i = 0; i <= N; ++i)
            for (std::int32_t j = i; j <= N; ++j) {
                const double t = Abs(hr[i][j]) + Abs(hi[i][j]);
                if (t > nrm) nrm = t;
            }
        if (N == 0 || nrm == 0.0) return kKernelOk;

        // kChunk columns e at a time, from the last: at each row i their sums
        // run side by side along the rows of h. They read row i before any
        // of its elements is solved, and each column still takes its rows
        // in decreasing order.
        for (std::int32_t e1 = N; e1 >= 1; e1 -= kChunk) {
            const std::int32_t e0 = std::max<std::int32_t>(1, e1 - kChunk + 1);
            for (std::int32_t e = e0; e <= e1; ++e) {
                hr[e][e] = 1.0;
                hi[e][e] = 0.0;
            }
            double sr[kChunk], si[kChunk];
            for (std::int32_t i = e1 - 1; i >= 0; --i) {
                const std::int32_t f = std::max(e0, i + 1);  // the first column solved at row i
                std::fill(sr, sr + (e1 - f + 1), 0.0);
                std::fill(si, si + (e1 - f + 1), 0.0);
                for (std::int32_t j = i + 1; j <= e1; ++j) {
                    const std::int32_t e = std::max(f, j);
                    ops.addComplexProduct(sr + (e - f), si + (e - f), hr[j] + e, hi[j] + e, hr[i][j], hi[i][j],
                                          e1 - e + 1);
                }
                for (std::int32_t e = f; e <= e1; ++e) {
                    double yr = wr[e] - wr[i];
                    const double yi = wi[e] - wi[i];
                    if (yr == 0.0 && yi == 0.0) {
                        // An equal eigenvalue: perturb the divisor to below the
                        // last bit of the norm.
                        yr = nrm;
                        do yr = 0.01 * yr;
                        while (nrm + yr > nrm);
                    }
                    ComplexDivideParts(sr[e - f], si[e - f], yr, yi, &hr[i][e], &hi[i][e]);
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
        }

        // Back-transformation. Column low is left as accumulated: its triangular
        // eigenvector is the unit vector, and the diagonal there still holds the
        // eigenvalue (a zero one would wipe the column).
        // Each row of z takes its sums kChunk columns at a time, from the
        // last, side by side along the rows of h (a chunk reads only columns
        // of z left of its end).
        for (std::int32_t j1 = N; j1 >= low + 1; j1 -= kChunk) {
            const std::int32_t j0 = std::max(low + 1, j1 - kChunk + 1);
            double sr[kChunk], si[kChunk];
            for (std::int32_t i = low; i <= igh; ++i) {
                std::fill(sr, sr + (j1 - j0 + 1), 0.0);
                std::fill(si, si + (j1 - j0 + 1), 0.0);
                for (std::int32_t k = low; k <= std::min(j1, igh); ++k) {
                    const std::int32_t j = std::max(j0, k);
                    ops.addComplexProduct(sr + (j - j0), si + (j - j0), hr[k] + j, hi[k] + j, zr[i][k], zi[i][k],
                                          j1 - j + 1);
                }
                std::copy(sr, sr + (j1 - j0 + 1), zr[i] + j0);
                std::copy(si, si + (j1 - j0 + 1), zi[i] + j0);
            }
        }
    }
    return kKernelOk;
}

}  // namespace

std::int64_t ComplexSweepStepRoom(std::int32_t n) noexcept { return 16 * static_cast<std::int64_t>(n) + 128; }

KernelCode ComplexQRValues(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* hr, double* const* hi,
                           double* wr, double* wi, std::int64_t budget, std::int32_t* unfinished) {
    return ComplexQR<false>(N, low, igh, nullptr, nullptr, hr, hi, wr, wi, nullptr, nullptr, nullptr, budget,
                            unfinished);
}

KernelCode ComplexQRVectors(std::int32_t N, std::int32_t low, std::int32_t igh, double* ortr, double* orti,
                            double* const* hr, double* const* hi, double* wr, double* wi, double* const* zr,
                            double* const* zi, std::int64_t budget, std::int32_t* unfinished, ComplexSweepStep* steps) {
    // Half the room for each array; without room, a few steps at a time.
    ComplexSweepStep few[2 * 64];
    const std::int64_t half = steps != nullptr ? ComplexSweepStepRoom(N + 1) / 2 : 64;
    ComplexSweepStep* const room = steps != nullptr ? steps : few;
    const RowOperations& ops = ActiveRowOperations();
    OwedToBoth owed{OwedSteps(ops, zr, zi, igh, room, half), OwedSteps(ops, hr, hi, N, room + half, half)};
    return ComplexQR<true>(N, low, igh, ortr, orti, hr, hi, wr, wi, zr, zi, &owed, budget, unfinished);
}

}  // namespace corvane
