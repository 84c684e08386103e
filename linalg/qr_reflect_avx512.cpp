// The reflector groups of the blocked QR with 8 doubles per register. Only
// this file's own functions are compiled for avx512f, so the library runs on any
// x86 processor; they are called only when the processor has the set.
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

// GCC's pragma, or its clang equivalent (the fuzzer is built with clang).
#ifdef __clang__
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif
#include "linalg/kernels/qr_reflect.h"

namespace corvane {
namespace {

struct Avx512 {
    struct Masked;
    using Elem = double;
    using Reg = __m512d;
    static constexpr int kWidth = 8;
    static Reg Zero() { return _mm512_setzero_pd(); }
    static Reg Load(const double* p) { return _mm512_loadu_pd(p); }
    static void Store(double* p, Reg x) { _mm512_storeu_pd(p, x); }
    static Reg Broadcast(const double* p) { return _mm512_set1_pd(*p); }
    static Reg Mul(Reg x, Reg y) { return _mm512_mul_pd(x, y); }
    static Reg Add(Reg x, Reg y) { return _mm512_add_pd(x, y); }
    static Reg Step(Reg sum, Reg factor) { return _mm512_mul_pd(factor, sum); }
};

// The last columns of a row, fewer than a register: inactive lanes are
// neither read nor written (nor can they fault) and compute on zeros.
struct Avx512::Masked : Avx512 {
    explicit Masked(int lanes) : mask(static_cast<__mmask8>((1u << lanes) - 1u)) {}
    Reg Load(const double* p) const { return _mm512_maskz_loadu_pd(mask, p); }
    void Store(double* p, Reg x) const { _mm512_mask_storeu_pd(p, mask, x); }
    __mmask8 mask;
};

// 32 registers in 64-bit code; 32-bit code has 8.
#ifdef __x86_64__
constexpr int kVecs = 4;
#else
constexpr int kVecs = 2;
#endif

void Reflect(const ReflectorBlock<double>& b, double* const* rows, std::int32_t nrows, std::int64_t col0,
             std::int64_t col1) {
    ReflectColumns<Avx512, kVecs, RealScalarReflect<Avx512>>(b, rows, nrows, col0, col1);
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
ReflectFn<double> Avx512Reflect() noexcept { return &Reflect; }
}  // namespace corvane

#else
#include "linalg/qr_reflect.h"

namespace corvane {
ReflectFn<double> Avx512Reflect() noexcept { return nullptr; }
}  // namespace corvane
#endif
