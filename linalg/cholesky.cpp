#include "linalg/cholesky.h"

#include <cmath>

#include "core/output.h"
#include "core/row_store.h"
#include "linalg/kernel_codes.h"
#include "linalg/work_copy.h"

namespace corvane {

// Cholesky–Crout (column by column); each pair (i, j), i > j, is compared
// exactly once, when column j is formed, so success proves exact symmetry.
int CholeskyCrout(double** a, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double* lj = a[j];
        double squares = 0.0;
        for (std::int32_t k = 0; k < j; ++k) squares += lj[k] * lj[k];
        const double d = a[j][j] - squares;  // subtracted once, as one total
        if (d <= 0.0) return kKernelNotPositiveDefinite;  // NaN passes here
        const double ljj = std::sqrt(d);
        a[j][j] = ljj;
        for (std::int32_t i = j + 1; i < n; ++i) {
            double* li = a[i];
            const double upper = a[j][i];
            if (!(upper == li[j])) return kKernelNotPositiveDefinite;
            double s = 0.0;
            for (std::int32_t k = 0; k < j; ++k) s += lj[k] * li[k];
            li[j] = (upper - s) / ljj;
        }
    }
    return kKernelOk;
}

Status Cholesky(const Matrix& a, MatrixOut* L) {
    if (!a.sized()) return kNotSized;
    if (a.Rows() != a.Cols()) return kNotSquare;
    const std::int32_t n = a.Rows();
    RowStore<double> work;
    if (!CopyRows(a, &work)) return Status::OutOfMemory();
    if (CholeskyCrout(work.data(), n) != kKernelOk) return kNotPositiveDefinite;
    WriteLowerTriangle(L, n, [&](std::int32_t i, std::int32_t j) { return work[i][j]; });
    return Status::Ok();
}

}  // namespace corvane
