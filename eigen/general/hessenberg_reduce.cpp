// Follows EISPACK elmhes: reduction to upper Hessenberg form by stabilised elementary similarity transformations.
#include <cmath>

#include "eigen/general/kernels.h"

namespace corvane {

void HessenbergReduce(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* a, std::int32_t* iv) {
    for (std::int32_t m = low + 1; m <= igh - 1; ++m) {
        // Pivot: the first element of largest magnitude in column m − 1.
        double x = 0.0;
        std::int32_t i = m;
        for (std::int32_t j = m; j <= igh; ++j) {
            if (std::fabs(a[j][m - 1]) > std::fabs(x)) {
                x = a[j][m - 1];
                i = j;
            }
        }
        iv[m] = i;
        if (i != m) {
            // Elements left of column m − 1 hold earlier multipliers and stay.
            for (std::int32_t j = m - 1; j <= N; ++j) {
                const double y = a[i][j];
                a[i][j] = a[m][j];
                a[m][j] = y;
            }
            for (std::int32_t j = 0; j <= igh; ++j) {
                const double y = a[j][i];
                a[j][i] = a[j][m];
                a[j][m] = y;
            }
        }
        if (x != 0.0) {
            for (std::int32_t r = m + 1; r <= igh; ++r) {
                double y = a[r][m - 1];
                if (y != 0.0) {
                    y = y / x;
                    a[r][m - 1] = y;
                    for (std::int32_t j = m; j <= N; ++j) a[r][j] = a[r][j] - y * a[m][j];
                    for (std::int32_t j = 0; j <= igh; ++j) a[j][m] = a[j][m] + y * a[j][r];
                }
            }
        }
    }
}

}  // namespace corvane
