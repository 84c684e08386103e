// In-place transpose of a square row-pointer array, so that a kernel whose
// inner loops run down columns can run them along rows instead.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>

namespace corvane {

// Transposes rows and columns 0..N of z, in tiles that stay in cache.
inline void TransposeSquare(std::int32_t N, double* const* z) {
    constexpr std::int32_t kTile = 32;
    for (std::int32_t i0 = 0; i0 <= N; i0 += kTile)
        for (std::int32_t j0 = i0; j0 <= N; j0 += kTile) {
            const std::int32_t iEnd = std::min(i0 + kTile, N + 1);
            const std::int32_t jEnd = std::min(j0 + kTile, N + 1);
            for (std::int32_t i = i0; i < iEnd; ++i)
                for (std::int32_t j = std::max(j0, i + 1); j < jEnd; ++j) std::swap(z[i][j], z[j][i]);
        }
}

}  // namespace corvane
