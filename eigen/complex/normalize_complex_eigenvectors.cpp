// Scales the eigenvectors of EigenComplexGeneral to largest real or imaginary part +1.
#include <cmath>

#include "eigen/complex/kernels.h"

namespace corvane {

void NormalizeComplexEigenvectors(std::int32_t N, double* const* zr, double* const* zi) {
    for (std::int32_t j = 0; j <= N; ++j) {
        // First row of strictly largest magnitude, for each part; NaN never wins.
        double re = 0.0, im = 0.0;
        for (std::int32_t i = 0; i <= N; ++i) {
            if (std::fabs(zr[i][j]) > std::fabs(re)) re = zr[i][j];
            if (std::fabs(zi[i][j]) > std::fabs(im)) im = zi[i][j];
        }
        const double d = std::fabs(re) >= std::fabs(im) ? re : im;
        if (d == 0.0) continue;
        const double rd = 1.0 / d;
        for (std::int32_t i = 0; i <= N; ++i) {
            zr[i][j] = zr[i][j] * rd;
            zi[i][j] = zi[i][j] * rd;
        }
    }
}

}  // namespace corvane
