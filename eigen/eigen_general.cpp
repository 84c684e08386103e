// Follows EISPACK rg (without balancing): elmhes, then hqr for values or eltran + hqr2 for vectors.
#include "eigen/general_kernels.h"

namespace corvane {

void EigenGeneral(std::int32_t nm, std::int32_t n, double* const* a, double* wr, double* wi,
                  std::int32_t wantVectors, double* const* z, std::int32_t* iv, double* /*fv*/,
                  std::int32_t* ierr) {
    for (std::int32_t i = 0; i <= n; ++i) iv[i] = 0;
    *ierr = 0;
    if (n > nm) {
        *ierr = n > INT32_MAX / 10 ? INT32_MAX : 10 * n;
        return;
    }
    HessenbergReduce(nm, n, 0, n, a, iv);
    if (wantVectors != 0) {
        HessenbergTransform(nm, n, 0, n, a, iv, z);
        HessenbergQRVectors(nm, n, 0, n, a, wr, wi, z, ierr);
        NormalizeRealEigenvectors(nm, n, z, wi);
    } else {
        HessenbergQRValues(nm, n, 0, n, a, wr, wi, ierr);
    }
}

}  // namespace corvane
