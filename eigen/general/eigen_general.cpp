// Follows EISPACK rg (without balancing): elmhes, then hqr for values or eltran + hqr2 for vectors.
#include "eigen/general/kernels.h"

namespace corvane {

KernelCode EigenGeneral(std::int32_t N, double* const* a, double* wr, double* wi, bool wantVectors, double* const* z,
                        std::int32_t* iv, SchurVectorStep* steps) {
    for (std::int32_t i = 0; i <= N; ++i) iv[i] = 0;
    HessenbergReduce(N, 0, N, a, iv, wr, wi);  // wr and wi serve as work arrays first
    if (!wantVectors) return HessenbergQRValues(N, 0, N, a, wr, wi);
    HessenbergTransform(N, 0, N, a, iv, z);
    const KernelCode code = HessenbergQRVectors(N, 0, N, a, wr, wi, z, kOwnBudget, nullptr, steps);
    NormalizeRealEigenvectors(N, z, wi);
    return code;
}

}  // namespace corvane
