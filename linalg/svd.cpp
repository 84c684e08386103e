#include "linalg/svd.h"

#include <cmath>

#include "core/buffer.h"
#include "core/numeric_helpers.h"
#include "core/output.h"
#include "core/row_store.h"
#include "linalg/kernel_codes.h"
#include "linalg/operands.h"
#include "linalg/svd_steps.h"

namespace corvane {
namespace {

constexpr std::int32_t kSvdSweepLimit = 30;

// Golub–Reinsch singular value decomposition: Householder
// bidiagonalisation, accumulation of the transformations, implicitly shifted
// QR sweeps, with plain square roots and reciprocal multiplications, on
// 0-based row-pointer arrays. a (m × n) is overwritten; w and e (n each)
// receive the singular values (unsorted, non-negative) and work values;
// sigma (n) is work storage. The factors are kept transposed so that
// rotations run along rows: ut (n × m, row j = column j of U) and vt (n × n,
// zero-filled, row j = column j of V), each null when not wanted.
// kKernelNoConvergence when a value needs more than kSvdSweepLimit sweeps.
int GolubReinschSVD(double** a, std::int32_t m, std::int32_t n, double* w, double* e, double* sigma, double** ut,
                    double** vt) {
    const SvdSteps& steps = ActiveSvdSteps();
    const double anorm = steps.bidiagonalise(a, m, n, w, e, sigma);
    if (vt != nullptr) steps.accumulateRight(a, m, n, e, vt);
    if (ut != nullptr) {
        for (std::int32_t k = 0; k < m; ++k)
            for (std::int32_t j = 0; j < n; ++j) ut[j][k] = a[k][j];
        steps.accumulateLeft(ut, m, n, w);
    }
    auto negligible = [anorm](double x) { return Abs(x) + anorm == anorm; };

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
                    if (ut != nullptr) steps.rotateRows(ut[l - 1], ut[i], m, c, s);
                }
            }
            double z = w[k];
            if (l == k) {  // converged
                if (z < 0.0) {
                    w[k] = -z;
                    if (vt != nullptr)
                        for (std::int32_t r = 0; r < n; ++r) vt[k][r] = -vt[k][r];
                }
                break;
            }
            if (sweeps == kSvdSweepLimit) return kKernelNoConvergence;
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
                if (vt != nullptr) steps.rotateRows(vt[j], vt[i], n, c, s);
                z = std::sqrt(f * f + h * h);
                w[j] = z;
                if (z != 0.0) {
                    rho = 1.0 / z;
                    c = f * rho;
                    s = h * rho;
                }
                f = c * g + s * y;
                x = c * y - s * g;
                if (ut != nullptr) steps.rotateRows(ut[j], ut[i], m, c, s);
            }
            e[l] = 0.0;
            e[k] = f;
            w[k] = x;
        }
    }
    return kKernelOk;
}

// Positions of the singular values in decreasing order of magnitude (NaN
// last), a stable insertion sort so the order is the same on every build.
void OrderByDecreasingMagnitude(const double* w, std::int32_t n, std::int32_t* order) {
    // Magnitude as the sort key; NaN below every number keeps the ordering
    // strict and weak.
    auto key = [w](std::int32_t i) { return std::isnan(w[i]) ? -1.0 : Abs(w[i]); };
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t item = order[i] = i;
        const double itemKey = key(item);
        std::int32_t j = i;
        for (; j > 0 && key(order[j - 1]) < itemKey; --j) order[j] = order[j - 1];
        order[j] = item;
    }
}

}  // namespace

Status SVD(const Matrix& a, MatrixOut* U, MatrixOut* S, MatrixOut* V) {
    if (!a.sized()) return kNotSized;
    const std::int32_t m = a.Rows(), n = a.Cols();
    RowStore<double> work, ut, vt;
    Buffer<double> w, e, sigma;
    Buffer<std::int32_t> order;
    if (!CopyRows(a, &work) || !w.Allocate(n) || !e.Allocate(n) || !sigma.Allocate(n) || !order.Allocate(n) ||
        (U != nullptr && !ut.Allocate(n, m)) || (V != nullptr && !vt.Allocate(n, n)))
        return Status::OutOfMemory();
    if (GolubReinschSVD(work.data(), m, n, w.data(), e.data(), sigma.data(), U != nullptr ? ut.data() : nullptr,
                        V != nullptr ? vt.data() : nullptr) != kKernelOk)
        return kSVDFailed;
    OrderByDecreasingMagnitude(w.data(), n, order.data());
    WriteOutput(U, m, n, [&](std::int32_t i, std::int32_t j) { return ut[order[j]][i]; });
    WriteDiagonal(S, n, [&](std::int32_t j) { return w[order[j]]; });
    WriteOutput(V, n, n, [&](std::int32_t i, std::int32_t j) { return vt[order[j]][i]; });
    return Status::Ok();
}

}  // namespace corvane
