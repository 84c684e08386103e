// Scales the eigenvectors of EigenGeneral to largest component (or part) magnitude 1.
#include <algorithm>
#include <cmath>

#include "core/numeric_helpers.h"
#include "eigen/general/kernels.h"

namespace corvane {

void NormalizeRealEigenvectors(std::int32_t N, double* const* z, const double* wi) {
    std::int32_t j = 0;
    while (j <= N) {
        // A non-zero (or NaN) imaginary part starts a pair, but never one
        // reaching past the last column.
        if (wi[j] != 0.0 && j < N) {
            double m = 0.0;
            for (std::int32_t i = 0; i <= N; ++i) {
                const double v = std::max(Abs(z[i][j]), Abs(z[i][j + 1]));
                if (v > m) m = v;
            }
            if (m != 0.0) {
                const double r = 1.0 / m;
                for (std::int32_t i = 0; i <= N; ++i) {
                    z[i][j] = z[i][j] * r;
                    z[i][j + 1] = z[i][j + 1] * r;
                }
            }
            j += 2;
        } else {
            double m = 0.0;
            for (std::int32_t i = 0; i <= N; ++i) {
                const double v = Abs(z[i][j]);
                if (v > m) m = v;
            }
            if (m != 0.0) {
                const double r = 1.0 / m;
                for (std::int32_t i = 0; i <= N; ++i) z[i][j] = z[i][j] * r;
            }
            j += 1;
        }
    }
}

}  // namespace corvane
