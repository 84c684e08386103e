// Opens the part of a *_avx512.cpp file compiled for AVX-512F (core/wide_end.h
// closes it): only the functions defined between the two may use the set, so
// the library runs on any x86 processor and calls them only when the
// processor has it. With it come the register operations of the kernels:
// loads and stores, a broadcast, and multiplications and additions as
// separate instructions, never fused. No include guard: each file opens once.
#include <immintrin.h>

// GCC's pragma, or its clang equivalent (the fuzzer is built with clang).
#ifdef __clang__
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif

namespace corvane::wide {

struct Avx512 {
    using Reg = __m512d;
    static constexpr int kWidth = 8;
    static Reg Zero() { return _mm512_setzero_pd(); }
    static Reg Load(const double* p) { return _mm512_loadu_pd(p); }
    static void Store(double* p, Reg x) { _mm512_storeu_pd(p, x); }
    static Reg Broadcast(const double* p) { return _mm512_set1_pd(*p); }
    static Reg Mul(Reg x, Reg y) { return _mm512_mul_pd(x, y); }
    static Reg Add(Reg x, Reg y) { return _mm512_add_pd(x, y); }
    static Reg Sub(Reg x, Reg y) { return _mm512_sub_pd(x, y); }
};

}  // namespace corvane::wide
