// The reflector groups of the blocked QR with 4 doubles per register. Only
// this file's own functions are compiled for avx2, so the library runs on any
// x86 processor; they are called only when the processor has the set.
#include "linalg/qr_reflect.h"

#if defined(__x86_64__) || defined(__i386__)
#include "core/wide_avx2_begin.h"

#include "linalg/kernels/qr_reflect.h"

namespace corvane {
namespace {

struct Avx2 : wide::Avx2 {
    struct Masked;
    using Elem = double;
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

// Two complex elements per register, real parts in the even lanes. The
// product is formed as Complex's operator* does: (ar·br) − (ai·bi) in the
// real lane, (ar·bi) + (ai·br) in the imaginary one. The step, a complex
// division per column, is done on elements by the portable code: with this
// target the compiler would fuse the division's products.
struct Avx2Complex {
    struct Masked;
    using Elem = Complex;
    using Reg = __m256d;
    static constexpr int kWidth = 2;
    static Reg Zero() { return _mm256_setzero_pd(); }
    static Reg Load(const Complex* p) { return _mm256_loadu_pd(&p->Real); }
    static void Store(Complex* p, Reg x) { _mm256_storeu_pd(&p->Real, x); }
    static Reg Broadcast(const Complex* p) { return _mm256_broadcast_pd(reinterpret_cast<const __m128d*>(p)); }
    static Reg Mul(Reg a, Reg b) {
        const Reg p1 = _mm256_mul_pd(_mm256_movedup_pd(a), b);
        const Reg p2 = _mm256_mul_pd(_mm256_permute_pd(a, 0xF), _mm256_permute_pd(b, 0x5));
        return _mm256_addsub_pd(p1, p2);
    }
    static Reg Add(Reg x, Reg y) { return _mm256_add_pd(x, y); }
    static Reg Step(Reg sum, Reg factor) {
        Complex s[kWidth], f[kWidth];
        _mm256_storeu_pd(&s[0].Real, sum);
        _mm256_storeu_pd(&f[0].Real, factor);
        DivideComplexSums(s, kWidth, f[0]);
        return _mm256_loadu_pd(&s[0].Real);
    }
};

// One element: the lower half.
struct Avx2Complex::Masked : Avx2Complex {
    explicit Masked(int) {}
    Reg Load(const Complex* p) const { return _mm256_insertf128_pd(_mm256_setzero_pd(), _mm_loadu_pd(&p->Real), 0); }
    void Store(Complex* p, Reg x) const { _mm_storeu_pd(&p->Real, _mm256_castpd256_pd128(x)); }
};

// 16 registers in 64-bit code: 2 × 4 accumulators and steps with the operands; 32-bit code has 8.
#ifdef __x86_64__
constexpr int kVecs = 4, kComplexVecs = 4;
#else
constexpr int kVecs = 2, kComplexVecs = 1;
#endif

void Reflect(const ReflectorBlock<double>& b, double* const* rows, std::int32_t nrows, std::int64_t col0,
             std::int64_t col1) {
    ReflectColumns<Avx2, kVecs, void>(b, rows, nrows, col0, col1);
}

void ReflectComplex(const ReflectorBlock<Complex>& b, Complex* const* rows, std::int32_t nrows, std::int64_t col0,
                    std::int64_t col1) {
    ReflectColumns<Avx2Complex, kComplexVecs, void>(b, rows, nrows, col0, col1);
}

}  // namespace
}  // namespace corvane
#include "core/wide_end.h"

namespace corvane {
ReflectFn<double> Avx2Reflect(const double*) noexcept { return &Reflect; }
ReflectFn<Complex> Avx2Reflect(const Complex*) noexcept { return &ReflectComplex; }
}  // namespace corvane

#else
namespace corvane {
ReflectFn<double> Avx2Reflect(const double*) noexcept { return nullptr; }
ReflectFn<Complex> Avx2Reflect(const Complex*) noexcept { return nullptr; }
}  // namespace corvane
#endif
