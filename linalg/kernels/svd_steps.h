// The steps of the singular value decomposition that run along whole rows:
// Householder bidiagonalisation, the accumulation of the transformations and
// the plane rotations of the factors. Compiled once per instruction set by
// linalg/svd_steps*.cpp (the compiler vectorises across elements; no
// element's operations are fused or reordered, so every set gives the same
// bits). The including file provides <cmath> and core/numeric_helpers.h.
#pragma once

#include <cstdint>

namespace corvane {
namespace {

// The transformations below form one sum per row, each a chain of additions
// in increasing k; four rows at a time their chains run interleaved, so no
// addition waits for the one before it in another row. Every sum keeps its
// own order.
constexpr std::int32_t kRowsAtOnce = 4;

// sums[r] = Σ x[k]·rows[r][k] over k = from … to − 1, from +0.0, for kRowsAtOnce rows.
inline void RowSums(const double* x, double* const* rows, std::int32_t from, std::int32_t to, double* sums) {
    double s[kRowsAtOnce] = {};
    for (std::int32_t k = from; k < to; ++k) {
        const double xk = x[k];
        for (std::int32_t r = 0; r < kRowsAtOnce; ++r) s[r] += rows[r][k] * xk;
    }
    for (std::int32_t r = 0; r < kRowsAtOnce; ++r) sums[r] = s[r];
}

// Householder reduction to upper bidiagonal form: w the diagonal, e the
// superdiagonal (e[0] = 0); returns anorm, the reference of negligibility.
// The column transformation forms its n − l sums side by side, row by row
// (each still in increasing k): sigma holds n elements.
inline double Bidiagonalise(double** a, std::int32_t m, std::int32_t n, double* w, double* e, double* sigma) {
    double g = 0.0, scale = 0.0, anorm = 0.0;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t l = i + 1;
        e[i] = scale * g;
        g = 0.0;
        double s = 0.0;
        scale = 0.0;
        if (i < m) {  // column transformation
            for (std::int32_t k = i; k < m; ++k) scale += Abs(a[k][i]);
            if (scale != 0.0) {
                const double t = 1.0 / scale;
                for (std::int32_t k = i; k < m; ++k) {
                    a[k][i] = t * a[k][i];
                    s += a[k][i] * a[k][i];
                }
                const double f = a[i][i];
                g = -TransferSign(std::sqrt(s), f);
                const double h = f * g - s;
                a[i][i] = f - g;
                const double hr = 1.0 / h;
                for (std::int32_t j = l; j < n; ++j) sigma[j] = 0.0;
                for (std::int32_t k = i; k < m; ++k) {
                    const double* ak = a[k];
                    const double aki = ak[i];
                    for (std::int32_t j = l; j < n; ++j) sigma[j] += aki * ak[j];
                }
                for (std::int32_t j = l; j < n; ++j) sigma[j] = hr * sigma[j];  // phi
                for (std::int32_t k = i; k < m; ++k) {
                    double* ak = a[k];
                    const double aki = ak[i];
                    for (std::int32_t j = l; j < n; ++j) ak[j] += sigma[j] * aki;
                }
                for (std::int32_t k = i; k < m; ++k) a[k][i] = scale * a[k][i];
            }
        }
        w[i] = scale * g;
        g = 0.0;
        s = 0.0;
        scale = 0.0;
        if (i < m && i != n - 1) {  // row transformation
            double* ai = a[i];
            for (std::int32_t k = l; k < n; ++k) scale += Abs(ai[k]);
            if (scale != 0.0) {
                const double t = 1.0 / scale;
                for (std::int32_t k = l; k < n; ++k) {
                    ai[k] = t * ai[k];
                    s += ai[k] * ai[k];
                }
                const double f = ai[l];
                g = -TransferSign(std::sqrt(s), f);
                const double h = f * g - s;
                ai[l] = f - g;
                const double hr = 1.0 / h;
                for (std::int32_t k = l; k < n; ++k) e[k] = hr * ai[k];
                std::int32_t j = l;
                for (double sums[kRowsAtOnce]; j + kRowsAtOnce <= m; j += kRowsAtOnce) {
                    RowSums(ai, a + j, l, n, sums);
                    for (std::int32_t r = 0; r < kRowsAtOnce; ++r)
                        for (std::int32_t k = l; k < n; ++k) a[j + r][k] += sums[r] * e[k];
                }
                for (; j < m; ++j) {
                    double* aj = a[j];
                    double sum = 0.0;
                    for (std::int32_t k = l; k < n; ++k) sum += aj[k] * ai[k];
                    for (std::int32_t k = l; k < n; ++k) aj[k] += sum * e[k];
                }
                for (std::int32_t k = l; k < n; ++k) ai[k] = scale * ai[k];
            }
        }
        const double size = Abs(w[i]) + Abs(e[i]);
        anorm = anorm > size ? anorm : size;
    }
    return anorm;
}

// The right-hand transformations accumulated into vt = Vᵀ (row c holds
// column c of V), so that every loop runs along rows.
inline void AccumulateRight(double* const* a, std::int32_t m, std::int32_t n, const double* e, double** vt) {
    double g = 0.0;
    std::int32_t l = n;
    for (std::int32_t i = n - 1; i >= 0; --i) {
        if (i < n - 1) {
            // g is nonzero only for rows that had a row transformation (i < m).
            if (g != 0.0 && i < m) {
                const double gr = 1.0 / g;
                const double* ai = a[i];
                double* vi = vt[i];
                for (std::int32_t j = l; j < n; ++j) vi[j] = (ai[j] / ai[l]) * gr;
                std::int32_t j = l;
                for (double sums[kRowsAtOnce]; j + kRowsAtOnce <= n; j += kRowsAtOnce) {
                    RowSums(ai, vt + j, l, n, sums);
                    for (std::int32_t r = 0; r < kRowsAtOnce; ++r)
                        for (std::int32_t k = l; k < n; ++k) vt[j + r][k] += sums[r] * vi[k];
                }
                for (; j < n; ++j) {
                    double* vj = vt[j];
                    double sigma = 0.0;
                    for (std::int32_t k = l; k < n; ++k) sigma += ai[k] * vj[k];
                    for (std::int32_t k = l; k < n; ++k) vj[k] += sigma * vi[k];
                }
            }
            for (std::int32_t j = l; j < n; ++j) vt[j][i] = vt[i][j] = 0.0;
        }
        vt[i][i] = 1.0;
        g = e[i];
        l = i;
    }
}

// The left-hand transformations accumulated into ut = Uᵀ (n × m), which
// enters as the transpose of the reduced array.
inline void AccumulateLeft(double** ut, std::int32_t m, std::int32_t n, const double* w) {
    const std::int32_t last = (m < n ? m : n) - 1;
    for (std::int32_t i = last; i >= 0; --i) {
        const std::int32_t l = i + 1;
        const double g = w[i];
        double* ui = ut[i];
        for (std::int32_t j = l; j < n; ++j) ut[j][i] = 0.0;
        if (g != 0.0) {
            const double gr = 1.0 / g;
            if (i != last) {
                std::int32_t j = l;
                for (double sums[kRowsAtOnce]; j + kRowsAtOnce <= n; j += kRowsAtOnce) {
                    RowSums(ui, ut + j, l, m, sums);
                    for (std::int32_t r = 0; r < kRowsAtOnce; ++r) {
                        const double phi = (sums[r] / ui[i]) * gr;
                        for (std::int32_t k = i; k < m; ++k) ut[j + r][k] += phi * ui[k];
                    }
                }
                for (; j < n; ++j) {
                    double* uj = ut[j];
                    double sigma = 0.0;
                    for (std::int32_t k = l; k < m; ++k) sigma += ui[k] * uj[k];
                    const double phi = (sigma / ui[i]) * gr;
                    for (std::int32_t k = i; k < m; ++k) uj[k] += phi * ui[k];
                }
            }
            for (std::int32_t j = i; j < m; ++j) ui[j] = gr * ui[j];
        } else {
            for (std::int32_t j = i; j < m; ++j) ui[j] = 0.0;
        }
        ui[i] += 1.0;
    }
}

// Plane rotation of two rows (columns of the factor whose transpose is
// stored): x ← x·c + y·s, y ← y·c − x·s.
inline void RotateRows(double* __restrict x, double* __restrict y, std::int32_t count, double c, double s) {
    for (std::int32_t r = 0; r < count; ++r) {
        const double u = x[r];
        const double v = y[r];
        x[r] = u * c + v * s;
        y[r] = v * c - u * s;
    }
}

constexpr SvdSteps kSteps{&Bidiagonalise, &AccumulateRight, &AccumulateLeft, &RotateRows};

}  // namespace
}  // namespace corvane
