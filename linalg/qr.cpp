#include "linalg/qr.h"

#include "core/buffer.h"
#include "core/numeric_helpers.h"
#include "core/output.h"
#include "core/row_store.h"
#include "linalg/kernel_codes.h"
#include "linalg/work_copy.h"

namespace corvane {

// Follows JAMA's QRDecomposition: column norms by ScaledHypot, the norm
// taking the sign of the leading element, scaling by its reciprocal. The
// sums of the later columns are formed side by side, row by row (each still
// in increasing i), so the loops run along rows; sums holds n elements.
int HouseholderQR(double** w, std::int32_t m, std::int32_t n, double* rdiag, double* sums) {
    for (std::int32_t k = 0; k < n; ++k) {
        double norm = 0.0;
        for (std::int32_t i = k; i < m; ++i) norm = ScaledHypot(norm, w[i][k]);
        if (norm != 0.0) {
            if (w[k][k] < 0.0) norm = -norm;
            const double t = 1.0 / norm;
            for (std::int32_t i = k; i < m; ++i) w[i][k] *= t;
            w[k][k] += 1.0;
            const double factor = -1.0 / w[k][k];
            for (std::int32_t j = k + 1; j < n; ++j) sums[j] = 0.0;
            for (std::int32_t i = k; i < m; ++i) {
                const double* wi = w[i];
                const double wik = wi[k];
                for (std::int32_t j = k + 1; j < n; ++j) sums[j] += wik * wi[j];
            }
            for (std::int32_t j = k + 1; j < n; ++j) sums[j] = factor * sums[j];
            for (std::int32_t i = k; i < m; ++i) {
                double* wi = w[i];
                const double wik = wi[k];
                for (std::int32_t j = k + 1; j < n; ++j) wi[j] += sums[j] * wik;
            }
        }
        rdiag[k] = -norm;  // a zero column gives −0.0 and stays unreflected
    }
    return kKernelOk;
}

// Follows JAMA's QRDecomposition.getQ: the reflections applied to the
// leading columns of the identity, last one first, the column sums formed
// side by side as in HouseholderQR. q must be zero-filled.
int HouseholderFormQ(double* const* w, std::int32_t m, std::int32_t n, double** q, double* sums) {
    for (std::int32_t k = n - 1; k >= 0; --k) {
        for (std::int32_t i = 0; i < m; ++i) q[i][k] = 0.0;
        q[k][k] = 1.0;
        if (w[k][k] == 0.0) continue;  // column k was not reflected
        const double factor = -1.0 / w[k][k];
        for (std::int32_t j = k; j < n; ++j) sums[j] = 0.0;
        for (std::int32_t i = k; i < m; ++i) {
            const double wik = w[i][k];
            const double* qi = q[i];
            for (std::int32_t j = k; j < n; ++j) sums[j] += wik * qi[j];
        }
        for (std::int32_t j = k; j < n; ++j) sums[j] = factor * sums[j];
        for (std::int32_t i = k; i < m; ++i) {
            const double wik = w[i][k];
            double* qi = q[i];
            for (std::int32_t j = k; j < n; ++j) qi[j] += sums[j] * wik;
        }
    }
    return kKernelOk;
}

Status QR(const Matrix& a, MatrixOut* Q, MatrixOut* R) {
    if (!a.sized()) return kNotSized;
    const std::int32_t m = a.Rows(), n = a.Cols();
    if (m < n) return kTooFewRows;
    RowStore<double> w, q;
    Buffer<double> rdiag, sums;
    if (!CopyRows(a, &w) || !rdiag.Allocate(n) || !sums.Allocate(n) || (Q != nullptr && !q.Allocate(m, n)))
        return Status::OutOfMemory();
    (void)HouseholderQR(w.data(), m, n, rdiag.data(), sums.data());
    if (Q != nullptr) (void)HouseholderFormQ(w.data(), m, n, q.data(), sums.data());
    WriteOutput(R, n, n, [&](std::int32_t i, std::int32_t j) {
        return i < j ? w[i][j] : (i == j ? rdiag[i] : 0.0);
    });
    WriteOutput(Q, m, n, [&](std::int32_t i, std::int32_t j) { return q[i][j]; });
    return Status::Ok();
}

}  // namespace corvane
