// The complex value operations and the Global complex functions, bit for bit
// (signs of zero included), with their NaN and infinity behaviour.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "arithmetic_test_support.h"
#include "complex/global_functions.h"

namespace corvane {
namespace {

using test::Bits;

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

void ExpectBits(Complex got, double re, double im) {
    EXPECT_EQ(Bits(got.Real), Bits(re)) << "real part " << got.Real << " expected " << re;
    EXPECT_EQ(Bits(got.Imag), Bits(im)) << "imaginary part " << got.Imag << " expected " << im;
}

Complex Call(Status (*f)(const Complex*, const Complex*, Complex*), Complex a, Complex b) {
    Complex r{-99, -99};
    EXPECT_TRUE(f(&a, &b, &r).ok());
    return r;
}
Complex Sqr(Complex c) {
    Complex r{-99, -99};
    EXPECT_TRUE(CSqr(&c, &r).ok());
    return r;
}
double Abs(Complex c) {
    double r = -99;
    EXPECT_TRUE(CAbs(&c, &r).ok());
    return r;
}

TEST(ComplexFunctions, SumDifferenceAndProduct) {
    ExpectBits(Call(CAdd, {1, 2}, {3, 4}), 4, 6);
    ExpectBits(Call(CSub, {1, 2}, {3, 4}), -2, -2);
    ExpectBits(Call(CMul, {1, 2}, {3, 4}), -5, 10);
    ExpectBits(Call(CAdd, {-0.0, -0.0}, {-0.0, 0.0}), -0.0, 0.0);
    ExpectBits(Call(CSub, {0.0, -0.0}, {0.0, 0.0}), 0.0, -0.0);
}

// No special cases: an infinite factor times a zero part gives NaN, which a
// recovering multiplication would have turned back into an infinity.
TEST(ComplexFunctions, TheProductHasNoScalingOrSpecialCases) {
    const Complex r = Call(CMul, {kInf, 0}, {0, 1});
    EXPECT_TRUE(std::isnan(r.Real));
    EXPECT_EQ(r.Imag, kInf);
    const Complex big = Call(CMul, {1e200, 1e200}, {1e200, -1e200});
    EXPECT_EQ(big.Real, kInf);          // inf − (−inf)
    EXPECT_TRUE(std::isnan(big.Imag));  // inf + (−inf), though the true value is 0
}

TEST(ComplexFunctions, DivisionIsTheOneNormScaledFormWithReciprocals) {
    ExpectBits(Call(CDiv, {1, 2}, {3, 4}), 0.44000000000000006, 0.08);
    ExpectBits(Call(CDiv, {1, 0}, {0, 1}), 0, -1);
    ExpectBits(Call(CDiv, {6, 8}, {2, 0}), 3, 4);
    // Scaling keeps huge and tiny divisors from overflowing the squares.
    ExpectBits(Call(CDiv, {1e300, 1e300}, {1e300, 1e300}), 1, 0);
    const Complex tiny = Call(CDiv, {1e-300, 0}, {1e-300, 1e-300});
    EXPECT_DOUBLE_EQ(tiny.Real, 0.5);
    EXPECT_DOUBLE_EQ(tiny.Imag, -0.5);
}

TEST(ComplexFunctions, DivisionByZeroIsNaNAndStillSucceeds) {
    for (Complex a : {Complex{1, 2}, Complex{0, 0}, Complex{-kInf, 3}}) {
        const Complex r = Call(CDiv, a, {0, 0});
        EXPECT_TRUE(std::isnan(r.Real));
        EXPECT_TRUE(std::isnan(r.Imag));
        const Complex m = Call(CDiv, a, {-0.0, -0.0});
        EXPECT_TRUE(std::isnan(m.Real) && std::isnan(m.Imag));
    }
}

TEST(ComplexFunctions, ModulusDividesByTheLargerPart) {
    EXPECT_EQ(Bits(Abs({3, 4})), Bits(5.0));
    EXPECT_EQ(Bits(Abs({4, 3})), Bits(5.0));
    EXPECT_EQ(Bits(Abs({1, 1})), Bits(1.4142135623730951));
    EXPECT_EQ(Bits(Abs({0, -7})), Bits(7.0));
    EXPECT_EQ(Bits(Abs({-2, 0})), Bits(2.0));
    EXPECT_EQ(Bits(Abs({0, 0})), Bits(0.0));
    EXPECT_EQ(Bits(Abs({-0.0, -0.0})), Bits(0.0));
    const double big = Abs({1e200, 1e200});
    EXPECT_TRUE(std::isfinite(big));
    EXPECT_NEAR(big / 1e200, 1.4142135623730951, 1e-15);
    EXPECT_EQ(Abs({kInf, 1}), kInf);
    EXPECT_EQ(Abs({-3, -kInf}), kInf);
    EXPECT_EQ(Abs({0, -kInf}), kInf);
}

TEST(ComplexFunctions, ModulusOfInfinitiesAndNaNs) {
    EXPECT_TRUE(std::isnan(Abs({kInf, kInf})));  // inf / inf in the ratio
    EXPECT_TRUE(std::isnan(Abs({-kInf, kInf})));
    EXPECT_TRUE(std::isnan(Abs({kNaN, 1})));
    EXPECT_TRUE(std::isnan(Abs({kNaN, 0})));
    EXPECT_TRUE(std::isnan(Abs({0, kNaN})));
    EXPECT_TRUE(std::isnan(Abs({kInf, kNaN})));
}

TEST(ComplexFunctions, SquareRootIsThePrincipalRootOfTheRatioForm) {
    ExpectBits(Sqr({4, 0}), 2, 0);
    ExpectBits(Sqr({-4, 0}), 0, 2);
    ExpectBits(Sqr({-4, -0.0}), -0.0, 2);
    ExpectBits(Sqr({0, 0}), 0, 0);
    ExpectBits(Sqr({-0.0, -0.0}), 0, 0);
    ExpectBits(Sqr({0.0, -0.0}), 0, 0);
    ExpectBits(Sqr({0, 2}), 1.0000000000000002, 0.9999999999999998);
    ExpectBits(Sqr({-3, -4}), 1, -2);
    ExpectBits(Sqr({3, -4}), 2, -1);
    ExpectBits(Sqr({-3, 4}), 1, 2);
    ExpectBits(Sqr({4, -0.0}), 2, -0.0);  // c.Real ≥ 0: c.Imag / (w + w)
    ExpectBits(Sqr({-0.0, 2}), 1.0000000000000002, 0.9999999999999998);
}

TEST(ComplexFunctions, SquareRootNeverHasANegativeRealPart) {
    for (Complex c : {Complex{-1, -1e-300}, Complex{-1e300, -1e300}, Complex{-5, -0.0}, Complex{-kInf, -1},
                      Complex{-2, -3}, Complex{1e-310, -1e-310}}) {
        const Complex r = Sqr(c);
        EXPECT_FALSE(r.Real < 0) << c.Real << ", " << c.Imag;
        if (c.Imag < 0) {
            EXPECT_TRUE(r.Imag < 0 || std::isnan(r.Imag)) << c.Real << ", " << c.Imag;
        }
    }
}

TEST(ComplexFunctions, InputsMayShareStorageWithTheResult) {
    Complex x{1, 2};
    const Complex y{3, 4};
    ASSERT_TRUE(CMul(&x, &y, &x).ok());
    ExpectBits(x, -5, 10);
    x = {1, 2};
    ASSERT_TRUE(CDiv(&x, &y, &x).ok());
    ExpectBits(x, 0.44000000000000006, 0.08);
    x = {1, 2};
    ASSERT_TRUE(CDiv(&x, &x, &x).ok());
    EXPECT_EQ(x.Real, 1.0);
    x = {0, 2};
    ASSERT_TRUE(CSqr(&x, &x).ok());
    ExpectBits(x, 1.0000000000000002, 0.9999999999999998);
    x = {1, 2};
    ASSERT_TRUE(CSub(&x, &x, &x).ok());
    ExpectBits(x, 0, 0);
}

TEST(ComplexFunctions, NullPointersWriteNothing) {
    Complex a{1, 2}, r{7, 7};
    double d = 7;
    EXPECT_EQ(CAdd(nullptr, &a, &r).code(), Status::NullPointer().code());
    EXPECT_EQ(CSub(&a, nullptr, &r).code(), Status::NullPointer().code());
    EXPECT_EQ(CMul(&a, &a, nullptr).code(), Status::NullPointer().code());
    EXPECT_EQ(CDiv(nullptr, nullptr, &r).code(), Status::NullPointer().code());
    EXPECT_EQ(CAbs(nullptr, &d).code(), Status::NullPointer().code());
    EXPECT_EQ(CAbs(&a, nullptr).code(), Status::NullPointer().code());
    EXPECT_EQ(CSqr(nullptr, &r).code(), Status::NullPointer().code());
    EXPECT_EQ(CSqr(&a, nullptr).code(), Status::NullPointer().code());
    ExpectBits(r, 7, 7);
    EXPECT_EQ(d, 7.0);
}

TEST(ComplexValues, DivisionByARealMultipliesByItsReciprocal) {
    Complex c{3, -0.0};
    c /= 10.0;
    ExpectBits(c, 0.30000000000000004, -0.0);  // 3 × 0.1, not 3 / 10
    Complex z{1, 1};
    z /= 0.0;
    ExpectBits(z, kInf, kInf);
}

TEST(ComplexValues, ARealDividedByAComplexIsTheComplexDivision) {
    ExpectBits(1.0 / Complex{0, 1}, 0, -1);
    ExpectBits(1.0 / Complex{3, 4}, (Complex{1, 0} / Complex{3, 4}).Real, (Complex{1, 0} / Complex{3, 4}).Imag);
    ExpectBits(3.0 / Complex{10, 0}, 0.30000000000000004, 0);  // via s = 1/10
}

TEST(ComplexValues, CompoundAssignmentsAndTheRealScaling) {
    Complex c{1, -0.0};
    c += 2.0;
    ExpectBits(c, 3, -0.0);  // the imaginary part is untouched
    c += Complex{1, 1};
    ExpectBits(c, 4, 1);
    c -= Complex{4, 1};
    ExpectBits(c, 0, 0);
    c = {1, 2};
    c *= Complex{3, 4};
    ExpectBits(c, -5, 10);
    c /= Complex{3, 4};
    ExpectBits(c, (Complex{-5, 10} / Complex{3, 4}).Real, (Complex{-5, 10} / Complex{3, 4}).Imag);
    ExpectBits(2.0 * Complex{1.5, -0.25}, 3, -0.5);
    ExpectBits(Complex{1.5, -0.25} * 2.0, 3, -0.5);
    ExpectBits(-Complex{0, -1}, -0.0, 1);
}

TEST(ComplexValues, EqualityIsExactAndMagnitudeComparisonUsesTheModulus) {
    EXPECT_TRUE((Complex{0.0, 1} == Complex{-0.0, 1}));
    EXPECT_FALSE((Complex{1, 2} == Complex{1, 2.0000000000000004}));
    EXPECT_FALSE((Complex{kNaN, 0} == Complex{kNaN, 0}));
    EXPECT_TRUE((Complex{kNaN, 0} != Complex{kNaN, 0}));
    EXPECT_FALSE((Complex{1, 2} != Complex{1, 2}));
    EXPECT_TRUE(MagnitudeGreater({0, -5}, {3, 3.9}));
    EXPECT_FALSE(MagnitudeGreater({3, 4}, {0, 5}));  // a tie
    EXPECT_FALSE(MagnitudeGreater({5, 0}, {-4, -3}));
    EXPECT_FALSE(MagnitudeGreater({kNaN, 0}, {1, 0}));
    EXPECT_FALSE(MagnitudeGreater({1, 0}, {kNaN, 0}));
    EXPECT_FALSE(MagnitudeGreater({kInf, kInf}, {1, 0}));  // its modulus is NaN
}

}  // namespace
}  // namespace corvane
