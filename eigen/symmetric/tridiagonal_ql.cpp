// Follows EISPACK tql1 (eigenvalues only) and tql2 (eigenvectors accumulated):
// implicit QL iteration on a symmetric tridiagonal matrix. One iteration
// serves both; tql1 places each converged value among those before it, tql2
// sorts values and vectors together at the end. The vectors are worked on
// transposed, so that a rotation of two columns runs along two rows.
#include <algorithm>
#include <cmath>

#include "core/numeric_helpers.h"
#include "eigen/row_operations.h"
#include "eigen/square_transpose.h"
#include "eigen/symmetric/kernels.h"

namespace corvane {
namespace {

// ScaledHypot(a, b) by the same operations on the same operands, with the
// larger and smaller magnitude chosen without a branch: the sweep's data make
// one unpredictable, and it would stall the chain of dependent divisions and
// square roots. maxsd(x, y) is x > y ? x : y, minsd(x, y) is x < y ? x : y.
inline double SweepHypot(double a, double b) {
    const double p = Abs(a);
    const double q = Abs(b);
#if defined(__SSE2__)
    double large = p, small = q;
    __asm__("maxsd %1, %0" : "+x"(large) : "x"(q));
    __asm__("minsd %1, %0" : "+x"(small) : "x"(p));
#else
    const double large = p > q ? p : q;
    const double small = p > q ? q : p;
#endif
    const double r = small / large;
    const double h = large * std::sqrt(1.0 + r * r);
    return large != 0.0 ? h : 0.0;
}

// zt is z transposed (vectors path only): row k of zt is column k of z.
template <bool kVectors>
KernelCode TridiagonalQL(std::int32_t N, double* w, double* e, double* const* zt, std::int64_t budget) {
    if (N == 0) return kKernelOk;
    const RowOperations& ops = ActiveRowOperations();
    const std::int64_t perValue = BudgetOr(budget, 30);
    for (std::int32_t i = 1; i <= N; ++i) e[i - 1] = e[i];
    e[N] = 0.0;
    double f = 0.0;
    double tst1 = 0.0;
    for (std::int32_t l = 0; l <= N; ++l) {
        std::int32_t j = 0;
        const double h0 = Abs(w[l]) + Abs(e[l]);
        if (tst1 < h0) tst1 = h0;
        // Smallest negligible subdiagonal at or below l; the last index ends
        // the search even when non-finite values defeat the test.
        std::int32_t m = l;
        while (m < N && !(tst1 + Abs(e[m]) == tst1)) ++m;
        if (m != l) {
            for (;;) {
                if (j == perValue) return kKernelNoConvergence;
                ++j;
                // Shift from the leading 2 × 2 block.
                double g = w[l];
                double p = (w[l + 1] - g) / (e[l] + e[l]);
                double r = ScaledHypot(p, 1.0);
                w[l] = e[l] / (p + TransferSign(r, p));
                w[l + 1] = e[l] * (p + TransferSign(r, p));
                const double dl1 = w[l + 1];
                double h = g - w[l];
                for (std::int32_t i = l + 2; i <= N; ++i) w[i] = w[i] - h;
                f = f + h;
                // QL sweep from m − 1 up to l.
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
                    r = SweepHypot(p, e[i]);
                    e[i + 1] = s * r;
                    s = e[i] / r;
                    c = p / r;
                    p = c * w[i] - s * g;
                    w[i + 1] = h + s * (c * g + s * w[i]);
                    if constexpr (kVectors) ops.rotate(zt[i], zt[i + 1], c, s, N + 1);
                }
                p = -s * s2 * c3 * el1 * e[l] / dl1;
                e[l] = s * p;
                w[l] = c * p;
                if (!(tst1 + Abs(e[l]) > tst1)) break;
            }
        }
        if constexpr (kVectors) {
            w[l] = w[l] + f;
        } else {
            // Insert the converged value among those already placed (after equals).
            const double p = w[l] + f;
            std::int32_t i = l;
            while (i > 0 && p < w[i - 1]) {
                w[i] = w[i - 1];
                --i;
            }
            w[i] = p;
        }
    }
    if constexpr (kVectors) {
        // Selection sort into ascending order, columns of z alongside.
        for (std::int32_t i = 0; i < N; ++i) {
            std::int32_t k = i;
            double p = w[i];
            for (std::int32_t j = i + 1; j <= N; ++j) {
                if (w[j] < p) {
                    k = j;
                    p = w[j];
                }
            }
            if (k != i) {
                w[k] = w[i];
                w[i] = p;
                std::swap_ranges(zt[i], zt[i] + N + 1, zt[k]);
            }
        }
    }
    return kKernelOk;
}

}  // namespace

KernelCode TridiagonalQLValues(std::int32_t N, double* w, double* e, std::int64_t budget) {
    return TridiagonalQL<false>(N, w, e, nullptr, budget);
}

KernelCode TridiagonalQLVectors(std::int32_t N, double* w, double* e, double* const* z, std::int64_t budget) {
    TransposeSquare(N, z);
    const KernelCode code = TridiagonalQL<true>(N, w, e, z, budget);
    TransposeSquare(N, z);
    return code;
}

}  // namespace corvane
