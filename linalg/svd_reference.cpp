// First, straightforward forms of kernels that have a faster form: the tests
// require both to give the same bits.
#include "linalg/reference_kernels.h"

#include <cmath>

#include "core/numeric_helpers.h"
#include "linalg/kernel_codes.h"

namespace corvane {
namespace {

// Plane rotation of columns j and i of a rows × … array.
void RotateColumns(double** x, std::int32_t rows, std::int32_t j, std::int32_t i, double c, double s) {
    for (std::int32_t r = 0; r < rows; ++r) {
        const double y = x[r][j];
        const double z = x[r][i];
        x[r][j] = y * c + z * s;
        x[r][i] = z * c - y * s;
    }
}

// Householder reduction to upper bidiagonal form: w the diagonal, e the
// superdiagonal (e[0] = 0); returns anorm, the reference of negligibility.
double Bidiagonalise(double** a, std::int32_t m, std::int32_t n, double* w, double* e) {
    double g = 0.0, scale = 0.0, anorm = 0.0;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t l = i + 1;
        e[i] = scale * g;
        g = 0.0;
        double s = 0.0;
        scale = 0.0;
        if (i < m) {  // column transformation
            for (std::int32_t k = i; k < m; ++k) scale += std::fabs(a[k][i]);
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
                for (std::int32_t j = l; j < n; ++j) {
                    double sigma = 0.0;
                    for (std::int32_t k = i; k < m; ++k) sigma += a[k][i] * a[k][j];
                    const double phi = hr * sigma;
                    for (std::int32_t k = i; k < m; ++k) a[k][j] += phi * a[k][i];
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
            for (std::int32_t k = l; k < n; ++k) scale += std::fabs(ai[k]);
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
                for (std::int32_t j = l; j < m; ++j) {
                    double* aj = a[j];
                    double sigma = 0.0;
                    for (std::int32_t k = l; k < n; ++k) sigma += aj[k] * ai[k];
                    for (std::int32_t k = l; k < n; ++k) aj[k] += sigma * e[k];
                }
                for (std::int32_t k = l; k < n; ++k) ai[k] = scale * ai[k];
            }
        }
        const double size = std::fabs(w[i]) + std::fabs(e[i]);
        anorm = anorm > size ? anorm : size;
    }
    return anorm;
}

// The right-hand transformations accumulated into v.
void AccumulateRight(double* const* a, std::int32_t m, std::int32_t n, const double* e, double** v) {
    double g = 0.0;
    std::int32_t l = n;
    for (std::int32_t i = n - 1; i >= 0; --i) {
        if (i < n - 1) {
            // g is nonzero only for rows that had a row transformation (i < m).
            if (g != 0.0 && i < m) {
                const double gr = 1.0 / g;
                for (std::int32_t j = l; j < n; ++j) v[j][i] = (a[i][j] / a[i][l]) * gr;
                for (std::int32_t j = l; j < n; ++j) {
                    double sigma = 0.0;
                    for (std::int32_t k = l; k < n; ++k) sigma += a[i][k] * v[k][j];
                    for (std::int32_t k = l; k < n; ++k) v[k][j] += sigma * v[k][i];
                }
            }
            for (std::int32_t j = l; j < n; ++j) v[i][j] = v[j][i] = 0.0;
        }
        v[i][i] = 1.0;
        g = e[i];
        l = i;
    }
}

// The left-hand transformations accumulated in place into a.
void AccumulateLeft(double** a, std::int32_t m, std::int32_t n, const double* w) {
    const std::int32_t last = (m < n ? m : n) - 1;
    for (std::int32_t i = last; i >= 0; --i) {
        const std::int32_t l = i + 1;
        const double g = w[i];
        for (std::int32_t j = l; j < n; ++j) a[i][j] = 0.0;
        if (g != 0.0) {
            const double gr = 1.0 / g;
            if (i != last) {
                for (std::int32_t j = l; j < n; ++j) {
                    double sigma = 0.0;
                    for (std::int32_t k = l; k < m; ++k) sigma += a[k][i] * a[k][j];
                    const double phi = (sigma / a[i][i]) * gr;
                    for (std::int32_t k = i; k < m; ++k) a[k][j] += phi * a[k][i];
                }
            }
            for (std::int32_t j = i; j < m; ++j) a[j][i] = gr * a[j][i];
        } else {
            for (std::int32_t j = i; j < m; ++j) a[j][i] = 0.0;
        }
        a[i][i] += 1.0;
    }
}

}  // namespace

// The first, straightforward form of GolubReinschSVD, written as the
// algorithm reads, on the m × n
// array and the n × n right factor. The fast form must give the same bits.
int GolubReinschSVDReference(double** a, std::int32_t m, std::int32_t n, double* w, double* e, double** v, bool wantU,
                    std::int32_t sweepLimit, std::int32_t* mostSweeps) {
    *mostSweeps = 0;
    const double anorm = Bidiagonalise(a, m, n, w, e);
    if (v != nullptr) AccumulateRight(a, m, n, e, v);
    if (wantU) AccumulateLeft(a, m, n, w);
    auto negligible = [anorm](double x) { return std::fabs(x) + anorm == anorm; };

    for (std::int32_t k = n - 1; k >= 0; --k) {
        for (std::int32_t sweeps = 0;; ++sweeps) {
            // Split test. e[0] is always zero, so the search ends at l = 0
            // even when a NaN makes nothing negligible.
            std::int32_t l = k;
            bool cancel = true;
            for (; l >= 0; --l) {
                if (l == 0 || negligible(e[l])) {
                    cancel = false;
                    break;
                }
                if (negligible(w[l - 1])) break;
            }
            if (cancel) {  // cancellation of e[l]
                double c = 0.0, s = 1.0;
                for (std::int32_t i = l; i <= k; ++i) {
                    const double f = s * e[i];
                    e[i] = c * e[i];
                    if (negligible(f)) break;
                    const double g = w[i];
                    const double h = std::sqrt(f * f + g * g);
                    w[i] = h;
                    c = g / h;
                    s = (-1.0 / h) * f;
                    if (wantU) RotateColumns(a, m, l - 1, i, c, s);
                }
            }
            double z = w[k];
            if (l == k) {  // converged
                if (z < 0.0) {
                    w[k] = -z;
                    if (v != nullptr)
                        for (std::int32_t r = 0; r < n; ++r) v[r][k] = -v[r][k];
                }
                if (sweeps > *mostSweeps) *mostSweeps = sweeps;
                break;
            }
            if (sweeps == sweepLimit) {
                *mostSweeps = sweeps;
                return kKernelNoConvergence;
            }
            // Shift from the bottom 2 × 2 minor.
            double x = w[l];
            double y = w[k - 1];
            double g = e[k - 1];
            double h = e[k];
            double f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * (y * h));
            g = std::sqrt(f * f + 1.0);
            f = ((x - z) * (x + z) + h * (y / (f + TransferSign(g, f)) - h)) / x;
            // QR sweep chasing the bulge.
            double c = 1.0, s = 1.0;
            for (std::int32_t j = l; j < k; ++j) {
                const std::int32_t i = j + 1;
                g = e[i];
                y = w[i];
                h = s * g;
                g = c * g;
                z = std::sqrt(f * f + h * h);
                e[j] = z;
                double rho = 1.0 / z;
                c = rho * f;
                s = rho * h;
                f = x * c + g * s;
                g = g * c - x * s;
                h = y * s;
                y = y * c;
                if (v != nullptr) RotateColumns(v, n, j, i, c, s);
                z = std::sqrt(f * f + h * h);
                w[j] = z;
                if (z != 0.0) {
                    rho = 1.0 / z;
                    c = f * rho;
                    s = h * rho;
                }
                f = c * g + s * y;
                x = c * y - s * g;
                if (wantU) RotateColumns(a, m, j, i, c, s);
            }
            e[l] = 0.0;
            e[k] = f;
            w[k] = x;
        }
    }
    return kKernelOk;
}

}  // namespace corvane
