// Follows EISPACK eltran: accumulates the transformations of HessenbergReduce into z.
#include "eigen/general/kernels.h"

namespace corvane {

void HessenbergTransform(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* a, const std::int32_t* iv,
                         double* const* z) {
    for (std::int32_t j = 0; j <= N; ++j) {
        for (std::int32_t i = 0; i <= N; ++i) z[i][j] = 0.0;
        z[j][j] = 1.0;
    }
    if (igh - low - 1 < 1) return;
    for (std::int32_t mp = igh - 1; mp >= low + 1; --mp) {
        for (std::int32_t i = mp + 1; i <= igh; ++i) z[i][mp] = a[i][mp - 1];
        const std::int32_t i = iv[mp];
        if (i != mp) {
            for (std::int32_t j = mp; j <= igh; ++j) {
                z[mp][j] = z[i][j];
                z[i][j] = 0.0;
            }
            z[i][mp] = 1.0;
        }
    }
}

}  // namespace corvane
