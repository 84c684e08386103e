// Follows EISPACK corth: reduction to upper Hessenberg form by unitary (Householder) similarity transformations.
#include <algorithm>
#include <cmath>

#include "core/numeric_helpers.h"
#include "eigen/complex/kernels.h"
#include "eigen/row_operations.h"

namespace corvane {
namespace {
// Columns whose sums run side by side in the product from the left, and rows
// in the product from the right.
constexpr std::int32_t kChunk = 32;
constexpr std::int32_t kRows = 8;

// Rows i0..i0 + R − 1 take the reflector from the right: their sums over
// j = igh down to m run side by side in registers.
template <int R>
void RightReflectRows(const RowOperations& ops, double* const* ar, double* const* ai, std::int32_t i0, std::int32_t m,
                      std::int32_t igh, const double* ortr, const double* orti, double rh) {
    double fr[R] = {}, fi[R] = {};
    if constexpr (R == 8) {
        ops.addRowProducts8(fr, fi, ar + i0, ai + i0, ortr, orti, m, igh);
    } else {
        for (std::int32_t j = igh; j >= m; --j)
            for (int r = 0; r < R; ++r) {
                const double xr = ar[i0 + r][j], xi = ai[i0 + r][j];
                fr[r] = fr[r] + (ortr[j] * xr - orti[j] * xi);
                fi[r] = fi[r] + (ortr[j] * xi + orti[j] * xr);
            }
    }
    for (int r = 0; r < R; ++r)
        ops.subtractScaledConjugate(ar[i0 + r] + m, ai[i0 + r] + m, ortr + m, orti + m, fr[r] * rh, fi[r] * rh,
                                    igh - m + 1);
}
}  // namespace

void ComplexHessenbergReduce(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* ar, double* const* ai,
                             double* ortr, double* orti) {
    const RowOperations& ops = ActiveRowOperations();
    for (std::int32_t m = low + 1; m <= igh - 1; ++m) {
        double h = 0.0;
        ortr[m] = 0.0;
        orti[m] = 0.0;
        double scale = 0.0;
        for (std::int32_t i = m; i <= igh; ++i) scale = scale + (Abs(ar[i][m - 1]) + Abs(ai[i][m - 1]));
        if (scale == 0.0) continue;

        // The column below the subdiagonal, scaled against underflow.
        const double rscale = 1.0 / scale;
        for (std::int32_t i = igh; i >= m; --i) {
            ortr[i] = ar[i][m - 1] * rscale;
            orti[i] = ai[i][m - 1] * rscale;
            h = h + (ortr[i] * ortr[i] + orti[i] * orti[i]);
        }

        double g = std::sqrt(h);
        const double f = IterativeHypot(ortr[m], orti[m]);
        if (f == 0.0) {
            ortr[m] = g;
            ar[m][m - 1] = scale;
        } else {
            h = h + f * g;
            g = g / f;
            ortr[m] = (1.0 + g) * ortr[m];
            orti[m] = (1.0 + g) * orti[m];
        }
        const double rh = 1.0 / h;

        // (I − u·u*/h) · A: kChunk columns at a time, their sums side by side
        // down the rows (each still over i = igh down to m).
        for (std::int32_t j0 = m; j0 <= N; j0 += kChunk) {
            const std::int32_t w = std::min(kChunk, N - j0 + 1);
            double fr[kChunk], fi[kChunk];
            std::fill(fr, fr + w, 0.0);
            std::fill(fi, fi + w, 0.0);
            for (std::int32_t i = igh; i >= m; --i)
                ops.addConjugateProduct(fr, fi, ar[i] + j0, ai[i] + j0, ortr[i], orti[i], w);
            for (std::int32_t c = 0; c < w; ++c) {
                fr[c] = fr[c] * rh;
                fi[c] = fi[c] * rh;
            }
            for (std::int32_t i = m; i <= igh; ++i)
                ops.subtractProductWith(ar[i] + j0, ai[i] + j0, fr, fi, ortr[i], orti[i], w);
        }

        // A · (I − u·u*/h): kRows rows' sums side by side.
        std::int32_t i0 = 0;
        for (; i0 + kRows <= igh + 1; i0 += kRows) RightReflectRows<kRows>(ops, ar, ai, i0, m, igh, ortr, orti, rh);
        for (; i0 <= igh; ++i0) RightReflectRows<1>(ops, ar, ai, i0, m, igh, ortr, orti, rh);

        ortr[m] = scale * ortr[m];
        orti[m] = scale * orti[m];
        ar[m][m - 1] = -g * ar[m][m - 1];
        ai[m][m - 1] = -g * ai[m][m - 1];
    }
}

}  // namespace corvane
