// The packed complex product's register tile with AVX2 registers. Only this
// file's own functions are compiled for the set; it is called only when the
// processor has it.
#include "core/product_complex_packed.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#ifdef __clang__
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
#include "core/product_complex_tile.h"

namespace corvane {
namespace {

struct Vec {
    using Reg = __m256d;
    static constexpr int kWidth = 4;
    static Reg Load(const double* p) { return _mm256_loadu_pd(p); }
    static void Store(double* p, Reg x) { _mm256_storeu_pd(p, x); }
    static Reg Broadcast(const double* p) { return _mm256_broadcast_sd(p); }
    static Reg Mul(Reg x, Reg y) { return _mm256_mul_pd(x, y); }
    static Reg Add(Reg x, Reg y) { return _mm256_add_pd(x, y); }
    static Reg Sub(Reg x, Reg y) { return _mm256_sub_pd(x, y); }
};

// 16 registers in 64-bit code: 3 × 1 accumulator pairs, a pair of b, a
// broadcast pair and products. 32-bit code has 8 registers: 1 × 1.
#ifdef __x86_64__
constexpr int kRows = 3, kVecs = 1;
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
