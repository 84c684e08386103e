#include "linalg/qr_reflect.h"

#include "core/instruction_set.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvane {
namespace {

using RealScalar = RealScalarReflect<struct Portable>;
using ComplexScalar = ScalarReflect<Complex, HouseholderPolicy<Complex>>;

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
void RealReflect(const ReflectorBlock<double>& b, double* const* rows, std::int32_t nrows, std::int64_t col0,
                 std::int64_t col1) {
    ReflectColumns<Sse2, 4, RealScalar>(b, rows, nrows, col0, col1);
}
#else
void RealReflect(const ReflectorBlock<double>& b, double* const* rows, std::int32_t nrows, std::int64_t col0,
                 std::int64_t col1) {
    ReflectColumns<Sse2, 2, RealScalar>(b, rows, nrows, col0, col1);
}
#endif
#else
void RealReflect(const ReflectorBlock<double>& b, double* const* rows, std::int32_t nrows, std::int64_t col0,
                 std::int64_t col1) {
    ReflectColumns<RealScalar, 4, RealScalar>(b, rows, nrows, col0, col1);
}
#endif

void ComplexReflect(const ReflectorBlock<Complex>& b, Complex* const* rows, std::int32_t nrows, std::int64_t col0,
                    std::int64_t col1) {
    ReflectColumns<ComplexScalar, 4, ComplexScalar>(b, rows, nrows, col0, col1);
}

}  // namespace

ReflectFn<double> ChosenReflect(const double*) noexcept {
    ReflectFn<double> wide = nullptr;
    switch (ActiveInstructionSet()) {
        case InstructionSet::kAvx512: wide = Avx512Reflect(); break;
        case InstructionSet::kAvx2: wide = Avx2Reflect(); break;
        case InstructionSet::kSse2: break;
    }
    return wide != nullptr ? wide : &RealReflect;
}

ReflectFn<Complex> ChosenReflect(const Complex*) noexcept { return &ComplexReflect; }

}  // namespace corvane
