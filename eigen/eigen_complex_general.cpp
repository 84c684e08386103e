// EISPACK cg without balancing.
#include <cstdint>

#include "eigen/complex_eigen.h"

namespace corvane {

std::int32_t EigenComplexGeneral(std::int32_t nm, std::int32_t N, double* const* ar, double* const* ai, double* wr,
                                 double* wi, bool wantVectors, double* const* zr, double* const* zi, double* fv,
                                 double* ortr, double* orti, std::int64_t budget) {
    (void)fv;
    if (N > nm) {
        const std::int64_t code = 10 * static_cast<std::int64_t>(N);
        return code > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(code);
    }
    if (N < 0) return 0;  // nothing to compute
    ComplexHessenbergReduce(nm, N, 0, nm, ar, ai, ortr, orti);
    if (!wantVectors) return ComplexQRValues(nm, N, 0, nm, ar, ai, wr, wi, budget);
    const std::int32_t ierr = ComplexQRVectors(nm, N, 0, nm, ortr, orti, ar, ai, wr, wi, zr, zi, budget);
    NormalizeComplexEigenvectors(nm, N, zr, zi);
    return ierr;
}

}  // namespace corvane
