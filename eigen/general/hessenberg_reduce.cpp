// Follows EISPACK elmhes: reduction to upper Hessenberg form by stabilised elementary similarity transformations.
// Each step's row and column operations are carried out row by row: row j
// takes every operation elmhes applies to it, in elmhes's order, so the
// strided column operations become walks along rows.
#include <cmath>

#include "core/numeric_helpers.h"
#include "eigen/general/kernels.h"
#include "eigen/row_operations.h"

namespace corvane {
namespace {

// Column m's element of row j gains y[r]·row[r] for every r in first..last that takes part.
double AddColumnTerms(double acc, const double* row, const double* y, const double* takes, std::int32_t first,
                      std::int32_t last) {
    for (std::int32_t r = first; r <= last; ++r)
        if (takes[r] != 0.0) acc = acc + y[r] * row[r];
    return acc;
}

// Rows whose column sums run together (RowOperations::addColumnTerms8).
constexpr std::int32_t kShare = 8;

}  // namespace

void HessenbergReduce(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* a, std::int32_t* iv, double* y,
                      double* takes) {
    const RowOperations& ops = ActiveRowOperations();
    for (std::int32_t m = low + 1; m <= igh - 1; ++m) {
        // Pivot: the first element of largest magnitude in column m − 1.
        double x = 0.0;
        std::int32_t i = m;
        for (std::int32_t j = m; j <= igh; ++j) {
            if (Abs(a[j][m - 1]) > Abs(x)) {
                x = a[j][m - 1];
                i = j;
            }
        }
        iv[m] = i;
        if (i != m) {
            // Elements left of column m − 1 hold earlier multipliers and stay.
            for (std::int32_t j = m - 1; j <= N; ++j) {
                const double t = a[i][j];
                a[i][j] = a[m][j];
                a[m][j] = t;
            }
            for (std::int32_t j = 0; j <= igh; ++j) {
                const double t = a[j][i];
                a[j][i] = a[j][m];
                a[j][m] = t;
            }
        }
        if (x == 0.0) continue;
        // Step r (rows r with a non-zero element in column m − 1 take part):
        // row r −= y[r]·row m over columns m..N, then column m += y[r]·column r
        // over rows 0..igh.
        for (std::int32_t r = m + 1; r <= igh; ++r) {
            takes[r] = a[r][m - 1] != 0.0 ? 1.0 : 0.0;
            if (takes[r] != 0.0) a[r][m - 1] = y[r] = a[r][m - 1] / x;
        }
        // Rows above m see only the column operations; row m's own element
        // a[m][m] is what step r's row operation reads, so it is carried along.
        std::int32_t j = 0;
        for (; j + kShare - 1 < m; j += kShare) {
            double acc[kShare];
            for (std::int32_t q = 0; q < kShare; ++q) acc[q] = a[j + q][m];
            ops.addColumnTerms8(acc, a + j, y, takes, m + 1, igh);
            for (std::int32_t q = 0; q < kShare; ++q) a[j + q][m] = acc[q];
        }
        for (; j < m; ++j) a[j][m] = AddColumnTerms(a[j][m], a[j], y, takes, m + 1, igh);
        // Row j below m: the column operations of the steps before j, its own
        // row operation, then those from j on, which read the changed row.
        // kShare rows share the steps before the first and after the last.
        double amm = a[m][m];
        const auto ownRowOperation = [&](std::int32_t row, double acc) {
            if (takes[row] == 0.0) return acc;
            ops.subtractScaled(a[row] + m + 1, a[m] + m + 1, y[row], N - m);
            return acc - y[row] * amm;
        };
        for (j = m + 1; j + kShare - 1 <= igh; j += kShare) {
            double acc[kShare];
            for (std::int32_t q = 0; q < kShare; ++q) acc[q] = a[j + q][m];
            ops.addColumnTerms8(acc, a + j, y, takes, m + 1, j - 1);
            for (std::int32_t q = 0; q < kShare; ++q) {
                acc[q] = AddColumnTerms(acc[q], a[j + q], y, takes, j, j + q - 1);
                acc[q] = ownRowOperation(j + q, acc[q]);
                acc[q] = AddColumnTerms(acc[q], a[j + q], y, takes, j + q, j + kShare - 2);
                amm = AddColumnTerms(amm, a[m], y, takes, j + q, j + q);
            }
            ops.addColumnTerms8(acc, a + j, y, takes, j + kShare - 1, igh);
            for (std::int32_t q = 0; q < kShare; ++q) a[j + q][m] = acc[q];
        }
        for (; j <= igh; ++j) {
            double acc = AddColumnTerms(a[j][m], a[j], y, takes, m + 1, j - 1);
            acc = ownRowOperation(j, acc);
            a[j][m] = AddColumnTerms(acc, a[j], y, takes, j, igh);
            amm = AddColumnTerms(amm, a[m], y, takes, j, j);
        }
        a[m][m] = amm;
    }
}

}  // namespace corvane
