// The packed product's register tile with 512-bit registers. Only this file's
// own functions are compiled for AVX-512F, so the library runs on any x86
// processor; the tile is called only when the processor has the set.
#include "core/product_packed.h"

#if defined(__x86_64__) || defined(__i386__)
#include "core/wide_avx512_begin.h"

#include "core/product_tile.h"

namespace corvane {
namespace {

// 32 registers in 64-bit code: 8 × 3 accumulators, 3 of b, a broadcast and
// products. 32-bit code has 8 registers: 6 × 1 accumulators, one of b and a
// product, with a's element broadcast from memory by the multiply itself;
// six independent sums keep the adder busy through its latency.
#ifdef __x86_64__
constexpr int kRows = 8, kVecs = 3;
#else
constexpr int kRows = 6, kVecs = 1;
#endif

void Tile(std::int64_t depth, const double* ap, const double* bp, double* const* c, std::int64_t col) {
    product_detail::ProductTile<wide::Avx512, kRows, kVecs>(depth, ap, bp, c, col);
}

// Four registers of one row of c, b's from memory: six registers in all.
void Thin(const double* const* a, const double* const* b, double* const* c, std::int64_t m, std::int64_t p,
          std::int64_t q, bool negate) {
    product_detail::ThinProduct<wide::Avx512, 4>(a, b, c, m, p, q, negate);
}

}  // namespace
}  // namespace corvane
#include "core/wide_end.h"

namespace corvane {
const PackedProductKernel* Avx512ProductKernel() noexcept {
    static constexpr PackedProductKernel kernel{kRows, kVecs * 8, &Tile, &Thin};
    return &kernel;
}
}  // namespace corvane

#else
namespace corvane {
const PackedProductKernel* Avx512ProductKernel() noexcept { return nullptr; }
}  // namespace corvane
#endif
