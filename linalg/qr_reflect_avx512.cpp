// The reflector groups of the blocked QR with 8 doubles per register. Only
// this file's own functions are compiled for avx512f, so the library runs on any
// x86 processor; they are called only when the processor has the set.
#include "linalg/qr_reflect.h"

#if defined(__x86_64__) || defined(__i386__)
#ifndef __clang__
// GCC 12 warns inside its own AVX-512 shuffle intrinsics, whose unused
// pass-through operand is left undefined on purpose.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include "core/wide_avx512_begin.h"

#include "linalg/kernels/qr_reflect.h"

namespace corvane {
namespace {

struct Avx512 : wide::Avx512 {
    struct Masked;
    using Elem = double;
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

// Four complex elements per register, real parts in the even lanes. The
// product is formed as Complex's operator* does: (ar·br) − (ai·bi) in the
// real lane, (ar·bi) + (ai·br) in the imaginary one, the subtraction as the
// addition of the negated product (the same bits). The step, a complex
// division per column, is done on elements by the portable code: with this
// target the compiler would fuse the division's products.
struct Avx512Complex {
    struct Masked;
    using Elem = Complex;
    using Reg = __m512d;
    static constexpr int kWidth = 4;
    static Reg Zero() { return _mm512_setzero_pd(); }
    static Reg Load(const Complex* p) { return _mm512_loadu_pd(p); }
    static void Store(Complex* p, Reg x) { _mm512_storeu_pd(p, x); }
    static Reg Broadcast(const Complex* p) {
        return _mm512_broadcast_f64x4(_mm256_broadcast_pd(reinterpret_cast<const __m128d*>(p)));
    }
    static Reg Mul(Reg a, Reg b) {
        const Reg p1 = _mm512_mul_pd(_mm512_unpacklo_pd(a, a), b);
        const Reg p2 = _mm512_mul_pd(_mm512_unpackhi_pd(a, a), _mm512_shuffle_pd(b, b, 0x55));
        const __m512i realSigns = _mm512_set_epi64(0, INT64_MIN, 0, INT64_MIN, 0, INT64_MIN, 0, INT64_MIN);
        return _mm512_add_pd(p1, _mm512_castsi512_pd(_mm512_xor_si512(_mm512_castpd_si512(p2), realSigns)));
    }
    static Reg Add(Reg x, Reg y) { return _mm512_add_pd(x, y); }
    static Reg Step(Reg sum, Reg factor) {
        Complex s[kWidth], f[kWidth];
        _mm512_storeu_pd(s, sum);
        _mm512_storeu_pd(f, factor);
        DivideComplexSums(s, kWidth, f[0]);
        return _mm512_loadu_pd(s);
    }
};

struct Avx512Complex::Masked : Avx512Complex {
    explicit Masked(int elements) : mask(static_cast<__mmask8>((1u << (2 * elements)) - 1u)) {}
    Reg Load(const Complex* p) const { return _mm512_maskz_loadu_pd(mask, p); }
    void Store(Complex* p, Reg x) const { _mm512_mask_storeu_pd(p, mask, x); }
    __mmask8 mask;
};

// 32 registers in 64-bit code; 32-bit code has 8.
#ifdef __x86_64__
constexpr int kVecs = 4, kComplexVecs = 4;
#else
constexpr int kVecs = 2, kComplexVecs = 1;
#endif

void Reflect(const ReflectorBlock<double>& b, double* const* rows, std::int32_t nrows, std::int64_t col0,
             std::int64_t col1) {
    ReflectColumns<Avx512, kVecs, void>(b, rows, nrows, col0, col1);
}

void ReflectComplex(const ReflectorBlock<Complex>& b, Complex* const* rows, std::int32_t nrows, std::int64_t col0,
                    std::int64_t col1) {
    ReflectColumns<Avx512Complex, kComplexVecs, void>(b, rows, nrows, col0, col1);
}

}  // namespace
}  // namespace corvane
#include "core/wide_end.h"

namespace corvane {
ReflectFn<double> Avx512Reflect(const double*) noexcept { return &Reflect; }
ReflectFn<Complex> Avx512Reflect(const Complex*) noexcept { return &ReflectComplex; }
}  // namespace corvane

#else
namespace corvane {
ReflectFn<double> Avx512Reflect(const double*) noexcept { return nullptr; }
ReflectFn<Complex> Avx512Reflect(const Complex*) noexcept { return nullptr; }
}  // namespace corvane
#endif
