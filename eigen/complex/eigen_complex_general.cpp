// Follows EISPACK cg (without balancing): corth, then comqr for values or comqr2 for vectors.
#include "eigen/complex/kernels.h"

namespace corvane {

KernelCode EigenComplexGeneral(std::int32_t N, double* const* ar, double* const* ai, double* wr, double* wi,
                               bool wantVectors, double* const* zr, double* const* zi, double* ortr, double* orti,
                               ComplexSweepStep* steps) {
    if (N < 0) return kKernelOk;  // nothing to compute
    ComplexHessenbergReduce(N, 0, N, ar, ai, ortr, orti);
    if (!wantVectors) return ComplexQRValues(N, 0, N, ar, ai, wr, wi);
    const KernelCode code = ComplexQRVectors(N, 0, N, ortr, orti, ar, ai, wr, wi, zr, zi, kOwnBudget, nullptr, steps);
    NormalizeComplexEigenvectors(N, zr, zi);
    return code;
}

}  // namespace corvane
