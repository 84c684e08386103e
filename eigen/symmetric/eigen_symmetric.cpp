// Follows EISPACK rs: tred1 + tql1 for values, tred2 + tql2 for vectors.
#include "eigen/symmetric/kernels.h"

namespace corvane {

KernelCode EigenSymmetric(std::int32_t N, double* const* a, double* w, bool wantVectors, double* const* z, double* e,
                          double* e2) {
    if (!wantVectors) {
        TridiagonalizeValues(N, a, w, e, e2);
        return TridiagonalQLValues(N, w, e);
    }
    TridiagonalizeVectors(N, a, w, e, z);
    return TridiagonalQLVectors(N, w, e, z);
}

}  // namespace corvane
