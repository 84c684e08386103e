// The packed product's register tile with 512-bit registers. Only this file's
// own functions are compiled for AVX-512F, so the library runs on any x86
// processor; the tile is called only when the processor has the set.
#include "core/product_packed.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

// GCC's pragma, or its clang equivalent (the fuzzer is built with clang).
#ifdef __clang__
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif
#include "core/product_tile.h"

namespace corvane {
namespace {

struct Avx512 {
    using Reg = __m512d;
    static constexpr int kWidth = 8;
    static Reg Load(const double* p) { return _mm512_loadu_pd(p); }
    static void Store(double* p, Reg x) { _mm512_storeu_pd(p, x); }
    static Reg Broadcast(const double* p) { return _mm512_set1_pd(*p); }
    static Reg Mul(Reg x, Reg y) { return _mm512_mul_pd(x, y); }
    static Reg Add(Reg x, Reg y) { return _mm512_add_pd(x, y); }
};

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
    product_detail::ProductTile<Avx512, kRows, kVecs>(depth, ap, bp, c, col);
}

}  // namespace
}  // namespace corvane
#ifdef __clang__
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace corvane {
const PackedProductKernel* Avx512ProductKernel() noexcept {
    static constexpr PackedProductKernel kernel{kRows, kVecs * 8, &Tile};
    return &kernel;
}
}  // namespace corvane

#else
namespace corvane {
const PackedProductKernel* Avx512ProductKernel() noexcept { return nullptr; }
}  // namespace corvane
#endif
