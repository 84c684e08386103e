// The packed complex product's register tile with AVX-512F registers. Only this
// file's own functions are compiled for the set; it is called only when the
// processor has it.
#include "core/product_complex_packed.h"

#if defined(__x86_64__) || defined(__i386__)
#include "core/wide_avx512_begin.h"

#include "core/product_complex_tile.h"

namespace corvane {
namespace {

// 32 registers in 64-bit code: 4 × 2 accumulator pairs, two pairs of b, a
// broadcast pair and products. 32-bit code has 8 registers: 1 × 1.
#ifdef __x86_64__
constexpr int kRows = 4, kVecs = 2;
#else
constexpr int kRows = 1, kVecs = 1;
#endif

void Add(std::int64_t depth, const double* ap, const double* bp, double* re, double* im) {
    product_detail::ComplexProductTile<wide::Avx512, kRows, kVecs, false>(depth, ap, bp, re, im);
}
void Subtract(std::int64_t depth, const double* ap, const double* bp, double* re, double* im) {
    product_detail::ComplexProductTile<wide::Avx512, kRows, kVecs, true>(depth, ap, bp, re, im);
}

}  // namespace
}  // namespace corvane
#include "core/wide_end.h"

namespace corvane {
const ComplexProductKernel* Avx512ComplexProductKernel() noexcept {
    static constexpr ComplexProductKernel kernel{kRows, kVecs * 8, &Add, &Subtract};
    return &kernel;
}
}  // namespace corvane

#else
namespace corvane {
const ComplexProductKernel* Avx512ComplexProductKernel() noexcept { return nullptr; }
}  // namespace corvane
#endif
