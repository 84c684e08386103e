// The packed complex product's register tile with AVX2 registers. Only this
// file's own functions are compiled for the set; it is called only when the
// processor has it.
#include "core/product_complex_packed.h"

#if defined(__x86_64__) || defined(__i386__)
#include "core/wide_avx2_begin.h"

#include "core/product_complex_tile.h"

namespace corvane {
namespace {

// 16 registers in 64-bit code: 3 × 1 accumulator pairs, a pair of b, a
// broadcast pair and products. 32-bit code has 8 registers: 1 × 1.
#ifdef __x86_64__
constexpr int kRows = 3, kVecs = 1;
#else
constexpr int kRows = 1, kVecs = 1;
#endif

void Add(std::int64_t depth, const double* ap, const double* bp, double* re, double* im) {
    product_detail::ComplexProductTile<wide::Avx2, kRows, kVecs, false>(depth, ap, bp, re, im);
}
void Subtract(std::int64_t depth, const double* ap, const double* bp, double* re, double* im) {
    product_detail::ComplexProductTile<wide::Avx2, kRows, kVecs, true>(depth, ap, bp, re, im);
}

}  // namespace
}  // namespace corvane
#include "core/wide_end.h"

namespace corvane {
const ComplexProductKernel* Avx2ComplexProductKernel() noexcept {
    static constexpr ComplexProductKernel kernel{kRows, kVecs * 4, &Add, &Subtract};
    return &kernel;
}
}  // namespace corvane

#else
namespace corvane {
const ComplexProductKernel* Avx2ComplexProductKernel() noexcept { return nullptr; }
}  // namespace corvane
#endif
