// Scaling by the largest element: which element is chosen (first found,
// sign kept, NaN never, the real part winning a complex tie), multiplication
// by the reciprocal, and the zero scale.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "arithmetic_test_support.h"
#include "core/allocation.h"
#include "core/normalize.h"

namespace corvane {
namespace {

using test::Bits;
using test::ExpectSameMatrix;
using test::Make;
using test::MakeC;

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct AllocationGuard {
    ~AllocationGuard() { FailAllocationsAfter(-1); }
};

// NormalizeMe's matrix and scale; Normalize must give the same on a copy and
// leave its input alone.
template <class T>
BasicMatrix<T> Scaled(const BasicMatrix<T>& a, double* n) {
    BasicMatrix<T> fresh;
    double n1 = -99;
    EXPECT_TRUE(Normalize(a, &n1, &fresh).ok());
    BasicMatrix<T> inPlace = test::Copy(a);
    EXPECT_TRUE(NormalizeMe(inPlace, n).ok());
    EXPECT_EQ(Bits(n1), Bits(*n));
    return inPlace;
}

TEST(Normalize, TheFirstElementOfLargestMagnitudeWinsWithItsSign) {
    double n = 0;
    const double f = 1.0 / -3.0;
    Matrix m = Scaled(Make({{1, -3}, {3, 2}}), &n);
    EXPECT_EQ(n, -3.0);
    ExpectSameMatrix(m, Make({{f * 1, f * -3}, {f * 3, f * 2}}));
    EXPECT_EQ(m.at(0, 1), 1.0);

    Scaled(Make({{3, -3}}), &n);
    EXPECT_EQ(n, 3.0);
    Scaled(Make({{-3, 3}}), &n);
    EXPECT_EQ(n, -3.0);
    Scaled(Make({{0}, {-2}, {2}}), &n);  // row by row: (1, 0) before (2, 0)
    EXPECT_EQ(n, -2.0);
    Scaled(Make({{1, 2}, {-2, 1}}), &n);  // (0, 1) before (1, 0)
    EXPECT_EQ(n, 2.0);
}

TEST(Normalize, ScalingMultipliesByTheReciprocal) {
    double n = 0;
    const Matrix m = Scaled(Make({{3, 10}}), &n);
    EXPECT_EQ(n, 10.0);
    EXPECT_EQ(Bits(m.at(0, 0)), Bits(0.30000000000000004));  // 3 × 0.1, not 3 / 10
    EXPECT_EQ(m.at(0, 1), 1.0);
}

TEST(Normalize, NaNIsNeverChosenAndAnInfiniteScaleGivesNaN) {
    double n = 0;
    Matrix m = Scaled(Make({{kNaN, 2}, {-1, kNaN}}), &n);
    EXPECT_EQ(n, 2.0);
    EXPECT_TRUE(std::isnan(m.at(0, 0)));
    EXPECT_EQ(m.at(1, 0), -0.5);

    m = Scaled(Make({{kNaN}}), &n);
    EXPECT_EQ(Bits(n), Bits(0.0));
    EXPECT_TRUE(std::isnan(m.at(0, 0)));

    m = Scaled(Make({{1, -kInf}}), &n);
    EXPECT_EQ(n, -kInf);
    EXPECT_EQ(Bits(m.at(0, 0)), Bits(-0.0));  // 1 × (1 / −inf)
    EXPECT_TRUE(std::isnan(m.at(0, 1)));       // inf × 0
}

TEST(Normalize, AZeroScaleLeavesTheMatrixAndGivesZeros) {
    Matrix a = Make({{0, -0.0}, {-0.0, 0}});
    double n = -99;
    ASSERT_TRUE(NormalizeMe(a, &n).ok());
    EXPECT_EQ(Bits(n), Bits(0.0));
    ExpectSameMatrix(a, Make({{0, -0.0}, {-0.0, 0}}));  // unchanged, signs kept
    Matrix r;
    n = -99;
    ASSERT_TRUE(Normalize(a, &n, &r).ok());
    EXPECT_EQ(Bits(n), Bits(0.0));
    ExpectSameMatrix(r, Make({{0, 0}, {0, 0}}));  // the zeros it was sized with
}

TEST(Normalize, FailuresWriteNoScaleAndNoResult) {
    Matrix unsized;
    Matrix r = Make({{9}});
    double n = 42;
    EXPECT_EQ(Normalize(unsized, &n, &r).message(), 1321);
    EXPECT_EQ(NormalizeMe(unsized, &n).message(), 1321);
    EXPECT_EQ(NormalizeMe(unsized, nullptr).message(), 1321);
    Matrix a = Make({{2}});
    EXPECT_EQ(NormalizeMe(a, nullptr).code(), Status::NullPointer().code());
    EXPECT_EQ(Normalize(a, nullptr, &r).code(), Status::NullPointer().code());
    EXPECT_EQ(Normalize<double>(a, &n, nullptr).code(), Status::NullPointer().code());
    EXPECT_EQ(n, 42.0);
    ExpectSameMatrix(r, Make({{9}}));
    ExpectSameMatrix(a, Make({{2}}));

    AllocationGuard guard;
    for (long k = 0; k < 2; ++k) {
        FailAllocationsAfter(k);
        EXPECT_EQ(Normalize(a, &n, &r).code(), Status::OutOfMemory().code());
        FailAllocationsAfter(-1);
    }
    EXPECT_EQ(n, 42.0);
    ExpectSameMatrix(r, Make({{9}}));
}

TEST(NormalizeComplex, TheLargestImaginaryPartWinsOnlyWhenStrictlyLarger) {
    double n = 0;
    CMatrix m = Scaled(MakeC({{{1, -4}}, {{3, 4}}}), &n);
    EXPECT_EQ(n, -4.0);
    ExpectSameMatrix(m, MakeC({{{-0.25, 1}}, {{-0.75, -1}}}));

    m = Scaled(MakeC({{{2, 2}}}), &n);
    EXPECT_EQ(n, 2.0);
    ExpectSameMatrix(m, MakeC({{{1, 1}}}));

    // A tie of opposite signs shows which part won.
    m = Scaled(MakeC({{{2, -2}}}), &n);
    EXPECT_EQ(n, 2.0);
    ExpectSameMatrix(m, MakeC({{{1, -1}}}));
    m = Scaled(MakeC({{{0, -2}}, {{2, 1}}}), &n);
    EXPECT_EQ(n, 2.0);
}

TEST(NormalizeComplex, RealAndImaginaryPartsAreTrackedIndependently) {
    double n = 0;
    // R is the first real part of magnitude 6, I the first imaginary part of
    // magnitude 5 (not the 5 paired with the largest real part).
    Scaled(MakeC({{{1, -5}, {-6, 5}}}), &n);
    EXPECT_EQ(n, -6.0);
    Scaled(MakeC({{{1, -7}, {-6, 7}}}), &n);
    EXPECT_EQ(n, -7.0);
    Scaled(MakeC({{{kNaN, 1}, {0.5, kNaN}}}), &n);
    EXPECT_EQ(n, 1.0);
    const CMatrix m = Scaled(MakeC({{{3, 0}, {10, -0.0}}}), &n);
    EXPECT_EQ(n, 10.0);
    EXPECT_EQ(Bits(m.at(0, 0).Real), Bits(0.30000000000000004));
    EXPECT_EQ(Bits(m.at(0, 1).Imag), Bits(-0.0));
}

TEST(NormalizeComplex, AZeroScaleLeavesTheMatrixAndGivesZeros) {
    CMatrix a = MakeC({{{-0.0, 0}, {0, -0.0}}});
    double n = -1;
    ASSERT_TRUE(NormalizeMe(a, &n).ok());
    EXPECT_EQ(Bits(n), Bits(0.0));
    ExpectSameMatrix(a, MakeC({{{-0.0, 0}, {0, -0.0}}}));
    CMatrix r;
    ASSERT_TRUE(Normalize(a, &n, &r).ok());
    ExpectSameMatrix(r, MakeC({{{0, 0}, {0, 0}}}));
}

}  // namespace
}  // namespace corvane
