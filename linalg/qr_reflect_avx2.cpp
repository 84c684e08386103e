// The reflector groups of the blocked QR with 4 doubles per register. Only
// this file's own functions are compiled for avx2, so the library runs on any
// x86 processor; they are called only when the processor has the set.
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

// GCC's pragma, or its clang equivalent (the fuzzer is built with clang).
#ifdef __clang__
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
#include "linalg/kernels/qr_reflect.h"

namespace corvane {
namespace {

struct Avx2 {
    struct Masked;
    using Elem = double;
    using Reg = __m256d;
    static constexpr int kWidth = 4;
    static Reg Zero() { return _mm256_setzero_pd(); }
    static Reg Load(const double* p) { return _mm256_loadu_pd(p); }
    static void Store(double* p, Reg x) { _mm256_storeu_pd(p, x); }
    static Reg Broadcast(const double* p) { return _mm256_broadcast_sd(p); }
    static Reg Mul(Reg x, Reg y) { return _mm256_mul_pd(x, y); }
    static Reg Add(Reg x, Reg y) { return _mm256_add_pd(x, y); }
    static Reg Step(Reg sum, Reg factor) { return _mm256_mul_pd(factor, sum); }
};

// The last columns of a row, fewer than a register: inactive lanes are
// neither read nor written (nor can they fault) and compute on zeros.
struct Avx2::Masked : Avx2 {
    explicit Masked(int lanes) : mask(_mm256_cmpgt_epi64(_mm256_set1_epi64x(lanes), _mm256_set_epi64x(3, 2, 1, 0))) {}
    Reg Load(const double* p) const { return _mm256_maskload_pd(p, mask); }
    void Store(double* p, Reg x) const { _mm256_maskstore_pd(p, mask, x); }
    __m256i mask;
};

// 16 registers in 64-bit code: 2 × 4 accumulators and steps with the operands; 32-bit code has 8.
#ifdef __x86_64__
constexpr int kVecs = 4;
#else
constexpr int kVecs = 2;
#endif

void Reflect(const ReflectorBlock<double>& b, double* const* rows, std::int32_t nrows, std::int64_t col0,
             std::int64_t col1) {
    ReflectColumns<Avx2, kVecs, RealScalarReflect<Avx2>>(b, rows, nrows, col0, col1);
}

}  // namespace
}  // namespace corvane
#ifdef __clang__
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#include "linalg/qr_reflect.h"

namespace corvane {
ReflectFn<double> Avx2Reflect() noexcept { return &Reflect; }
}  // namespace corvane

#else
#include "linalg/qr_reflect.h"

namespace corvane {
ReflectFn<double> Avx2Reflect() noexcept { return nullptr; }
}  // namespace corvane
#endif
