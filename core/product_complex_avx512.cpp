// The packed complex product's register tile with AVX-512F registers. Only this
// file's own functions are compiled for the set; it is called only when the
// processor has it.
#include "core/product_complex_packed.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#ifdef __clang__
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif
#include "core/product_complex_tile.h"

namespace corvane {
namespace {

struct Vec {
    using Reg = __m512d;
    static constexpr int kWidth = 8;
    static Reg Load(const double* p) { return _mm512_loadu_pd(p); }
    static void Store(double* p, Reg x) { _mm512_storeu_pd(p, x); }
    static Reg Broadcast(const double* p) { return _mm512_set1_pd(*p); }
    static Reg Mul(Reg x, Reg y) { return _mm512_mul_pd(x, y); }
    static Reg Add(Reg x, Reg y) { return _mm512_add_pd(x, y); }
    static Reg Sub(Reg x, Reg y) { return _mm512_sub_pd(x, y); }
};

// 32 registers in 64-bit code: 4 × 2 accumulator pairs, two pairs of b, a
// broadcast pair and products. 32-bit code has 8 registers: 1 × 1.
#ifdef __x86_64__
constexpr int kRows = 4, kVecs = 2;
#else
constexpr int kRows = 1, kVecs = 1;
#endif

void Add(std::int64_t depth, const double* ap, const double* bp, double* re, double* im) {
    product_detail::ComplexProductTile<Vec, kRows, kVecs, false>(depth, ap, bp, re, im);
}
void Subtract(std::int64_t depth, const double* ap, const double* bp, double* re, double* im) {
    product_detail::ComplexProductTile<Vec, kRows, kVecs, true>(depth, ap, bp, re, im);
}

}  // namespace
}  // namespace corvane
#ifdef __clang__
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

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
