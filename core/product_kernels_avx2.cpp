// The packed product's register tile with 256-bit registers. Only this file's
// own functions are compiled for AVX2, so the library runs on any x86
// processor; the tile is called only when the processor has the set.
#include "core/product_packed.h"

#if defined(__x86_64__) || defined(__i386__)
#include "core/wide_avx2_begin.h"

#include "core/product_tile.h"

namespace corvane {
namespace {

// 16 registers in 64-bit code: 4 × 2 accumulators, 2 of b, a broadcast and
// products. 32-bit code has 8 registers: 6 × 1 accumulators, one of b and one
// for a's broadcast element and then the product.
#ifdef __x86_64__
constexpr int kRows = 4, kVecs = 2;
#else
constexpr int kRows = 6, kVecs = 1;
#endif

void Tile(std::int64_t depth, const double* ap, const double* bp, double* const* c, std::int64_t col) {
    product_detail::ProductTile<wide::Avx2, kRows, kVecs>(depth, ap, bp, c, col);
}

// Four registers of one row of c, b's from memory: six registers in all.
void Thin(const double* const* a, const double* const* b, double* const* c, std::int64_t m, std::int64_t p,
          std::int64_t q, bool negate) {
    product_detail::ThinProduct<wide::Avx2, 4>(a, b, c, m, p, q, negate);
}

}  // namespace
}  // namespace corvane
#include "core/wide_end.h"

namespace corvane {
const PackedProductKernel* Avx2ProductKernel() noexcept {
    static constexpr PackedProductKernel kernel{kRows, kVecs * 4, &Tile, &Thin};
    return &kernel;
}
}  // namespace corvane

#else
namespace corvane {
const PackedProductKernel* Avx2ProductKernel() noexcept { return nullptr; }
}  // namespace corvane
#endif
