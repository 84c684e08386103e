// Follows EISPACK rs: tred1 + tql1 for values, tred2 + tql2 for vectors.
#include "eigen/symmetric_kernels.h"

namespace corvane {

void EigenSymmetric(std::int32_t nm, std::int32_t n, double* const* a, double* w, std::int32_t wantVectors,
                    double* const* z, double* e, double* e2, std::int32_t* ierr) {
    if (n > nm) {
        *ierr = n > INT32_MAX / 10 ? INT32_MAX : 10 * n;
        return;
    }
    if (wantVectors == 0) {
        TridiagonalizeValues(nm, n, a, w, e, e2);
        TridiagonalQLValues(n, w, e, ierr);
    } else {
        TridiagonalizeVectors(nm, n, a, w, e, z);
        TridiagonalQLVectors(nm, n, w, e, z, ierr);
    }
}

}  // namespace corvane
