// Scales the eigenvectors of EigenComplexGeneral to largest real or imaginary part +1.
#include <cmath>

#include "core/numeric_helpers.h"
#include "eigen/complex/kernels.h"

namespace corvane {

void NormalizeComplexEigenvectors(std::int32_t N, double* const* zr, double* const* zi) {
    for (std::int32_t j = 0; j <= N; ++j) {
        // First row of strictly largest magnitude, for each part; NaN never wins.
        double re = 0.0, im = 0.0;
        for (std::int32_t i = 0; i <= N; ++i) {
            if (Abs(zr[i][j]) > Abs(re)) re = zr[i][j];
            if (Abs(zi[i][j]) > Abs(im)) im = zi[i][j];
        }
        const double d = Abs(re) >= Abs(im) ? re : im;
        if (d == 0.0) continue;
        const double rd = 1.0 / d;
        for (std::int32_t i = 0; i <= N; ++i) {
            zr[i][j] = zr[i][j] * rd;
            zi[i][j] = zi[i][j] * rd;
        }
    }
}

}  // namespace corvane
