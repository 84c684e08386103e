#include "linalg/qr_reflect.h"

#include "core/instruction_set.h"
#include "linalg/kernels/qr.h"
#include "linalg/kernels/qr_reflect.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvane {
namespace {

using RealScalar = ScalarReflect<double, HouseholderPolicy<double>>;
#if !defined(__SSE2__)
using ComplexScalar = ScalarReflect<Complex, HouseholderPolicy<Complex>>;
#endif

#if defined(__SSE2__)
// The baseline of every x86 build.
struct Sse2 {
    using Elem = double;
    using Reg = __m128d;
    static constexpr int kWidth = 2;
    static Reg Zero() { return _mm_setzero_pd(); }
    static Reg Load(const double* p) { return _mm_loadu_pd(p); }
    static void Store(double* p, Reg x) { _mm_storeu_pd(p, x); }
    static Reg Broadcast(const double* p) { return _mm_set1_pd(*p); }
    static Reg Mul(Reg x, Reg y) { return _mm_mul_pd(x, y); }
    static Reg Add(Reg x, Reg y) { return _mm_add_pd(x, y); }
    static Reg Step(Reg sum, Reg factor) { return _mm_mul_pd(factor, sum); }
};
// 16 registers in 64-bit code hold 2 × 4 and the operands; 32-bit code has 8.
#ifdef __x86_64__
constexpr int kSse2Vecs = 4;
#else
constexpr int kSse2Vecs = 2;
#endif
void RealReflect(const ReflectorBlock<double>& b, double* const* rows, std::int32_t nrows, std::int64_t col0,
                 std::int64_t col1) {
    ReflectColumns<Sse2, kSse2Vecs, RealScalar>(b, rows, nrows, col0, col1);
}

// One complex element per register, the product as in the wider sets.
struct Sse2Complex {
    using Elem = Complex;
    using Reg = __m128d;
    static constexpr int kWidth = 1;
    static Reg Zero() { return _mm_setzero_pd(); }
    static Reg Load(const Complex* p) { return _mm_loadu_pd(&p->Real); }
    static void Store(Complex* p, Reg x) { _mm_storeu_pd(&p->Real, x); }
    static Reg Broadcast(const Complex* p) { return _mm_loadu_pd(&p->Real); }
    static Reg Mul(Reg a, Reg b) {
        const Reg p1 = _mm_mul_pd(_mm_unpacklo_pd(a, a), b);
        const Reg p2 = _mm_mul_pd(_mm_unpackhi_pd(a, a), _mm_shuffle_pd(b, b, 1));
        return _mm_add_pd(p1, _mm_xor_pd(p2, _mm_set_pd(0.0, -0.0)));
    }
    static Reg Add(Reg x, Reg y) { return _mm_add_pd(x, y); }
    static Reg Step(Reg sum, Reg factor) {
        Complex s, f;
        _mm_storeu_pd(&s.Real, sum);
        _mm_storeu_pd(&f.Real, factor);
        s = HouseholderPolicy<Complex>::ApplyStep(s, f);
        return _mm_loadu_pd(&s.Real);
    }
};

void ComplexReflect(const ReflectorBlock<Complex>& b, Complex* const* rows, std::int32_t nrows, std::int64_t col0,
                    std::int64_t col1) {
    ReflectColumns<Sse2Complex, 4, Sse2Complex>(b, rows, nrows, col0, col1);
}
#else
void RealReflect(const ReflectorBlock<double>& b, double* const* rows, std::int32_t nrows, std::int64_t col0,
                 std::int64_t col1) {
    ReflectColumns<RealScalar, 4, RealScalar>(b, rows, nrows, col0, col1);
}

void ComplexReflect(const ReflectorBlock<Complex>& b, Complex* const* rows, std::int32_t nrows, std::int64_t col0,
                    std::int64_t col1) {
    ReflectColumns<ComplexScalar, 4, ComplexScalar>(b, rows, nrows, col0, col1);
}
#endif

// The routine of the widest set allowed that has one, the portable one
// otherwise.
template <class T>
ReflectFn<T> Chosen(ReflectFn<T> portable) {
    const T* type = nullptr;
    ReflectFn<T> wide = nullptr;
    switch (ActiveInstructionSet()) {
    case InstructionSet::kAvx512: wide = Avx512Reflect(type); break;
    case InstructionSet::kAvx2: wide = Avx2Reflect(type); break;
    case InstructionSet::kSse2: break;
    }
    return wide != nullptr ? wide : portable;
}

}  // namespace

void DivideComplexSums(Complex* s, int count, Complex factor) noexcept {
    for (int k = 0; k < count; ++k) s[k] = HouseholderPolicy<Complex>::ApplyStep(s[k], factor);
}

ReflectFn<double> ChosenReflect(const double*) noexcept { return Chosen<double>(&RealReflect); }

ReflectFn<Complex> ChosenReflect(const Complex*) noexcept { return Chosen<Complex>(&ComplexReflect); }

}  // namespace corvane
