// Follows EISPACK tred1: Householder reduction to tridiagonal form, values only.
// The working matrix is kept as tred1 keeps it, in the lower triangle alone.
// Each step's rank-two update and the next step's A·u share one pass over it:
// row l, the next step's row, is updated first and the next Householder
// vector formed from it in place; then every other row is updated and at once
// gives its terms of the next product while it is in cache. Every element
// still sees tred1's operations in tred1's order (each product summed in
// increasing column order, each updated element from the same two products),
// so the results are tred1's bits.
#include <cmath>
#include <utility>

#include "core/numeric_helpers.h"
#include "eigen/symmetric/householder_update.h"
#include "eigen/symmetric/kernels.h"

namespace corvane {

void TridiagonalizeValues(std::int32_t N, double* const* a, double* w, double* e, double* e2) {
    for (std::int32_t i = 0; i <= N; ++i) {
        w[i] = a[N][i];
        a[N][i] = a[i][i];
    }
    const RowOperations& ops = ActiveRowOperations();
    double* p = e;   // A·u of the step at hand (e[0..l], then e2[0..l], by turns)
    double* q = e2;  // A·u of the next step, gathered during this step's update
    // Whether the previous pass left this step's vector in w, its product in p,
    // its scale, h and subdiagonal in these three.
    bool formed = false;
    double scale = 0.0, h = 0.0, sub = 0.0;
    for (std::int32_t i = N; i >= 0; --i) {
        const std::int32_t l = i - 1;
        if (l < 0) {
            e[i] = 0.0;
            continue;
        }
        if (!formed) {
            scale = 0.0;
            for (std::int32_t k = 0; k <= l; ++k) scale += Abs(w[k]);
            if (scale != 0.0) {
                h = FormHouseholderVector(l, scale, w, &sub);
                if (l != 0) ops.reduceMultiplyLower(a, l, nullptr, nullptr, w, p, false);
            }
        }
        formed = false;
        if (scale == 0.0) {
            for (std::int32_t j = 0; j <= l; ++j) {
                w[j] = a[l][j];
                a[l][j] = a[i][j];
                a[i][j] = 0.0;
            }
            e[i] = 0.0;
            continue;
        }
        e[i] = sub;
        double nextScale = 0.0, nextH = 0.0, nextSub = 0.0;
        if (l != 0) {
            FinishUpdateVector(l, w, p, h);
            // Element (k, j), j ≤ k, loses w[j]·p[k] + p[j]·w[k]. Row l first:
            // the next vector, u = row l's first m + 1 elements.
            ops.subtractTwo(a[l], w, p[l], p, w[l], l + 1);
            const std::int32_t m = l - 1;
            double* const u = a[l];
            for (std::int32_t k = 0; k <= m; ++k) nextScale += Abs(u[k]);
            formed = nextScale != 0.0;
            if (formed) nextH = FormHouseholderVector(m, nextScale, u, &nextSub);
            ops.reduceMultiplyLower(a, m, w, p, u, formed && m != 0 ? q : nullptr, true);
        }
        for (std::int32_t j = 0; j <= l; ++j) {
            const double f = w[j];
            w[j] = a[l][j];
            a[l][j] = a[i][j];
            a[i][j] = f * scale;
        }
        if (formed) {
            scale = nextScale;
            h = nextH;
            sub = nextSub;
            std::swap(p, q);
        }
    }
}

}  // namespace corvane
