// Follows EISPACK csroot: the principal square root of a complex number.
#include <cmath>
#include <limits>

#include "core/numeric_helpers.h"
#include "eigen/complex/kernels.h"

namespace corvane {

void ComplexSqrtBranch(double xr, double xi, double* yr, double* yi) {
    double s = std::sqrt(0.5 * (IterativeHypot(xr, xi) + Abs(xr)));
    // A NaN real part meets none of the tests below.
    double outR = std::numeric_limits<double>::quiet_NaN();
    double outI = outR;
    if (xr >= 0.0) outR = s;
    if (xi < 0.0) s = -s;
    if (xr <= 0.0) outI = s;
    if (xr < 0.0) outR = 0.5 * (xi / outI);
    if (xr > 0.0) outI = 0.5 * (xi / outR);
    *yr = outR;
    *yi = outI;
}

}  // namespace corvane
