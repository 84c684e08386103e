// Element-wise arithmetic, scalar products and transposes of both element
// types: messages and their order, the reading of the second matrix one
// element just before each write, and outputs untouched on failure.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "arithmetic_test_support.h"
#include "core/allocation.h"
#include "core/arithmetic.h"

namespace corvane {
namespace {

using test::Bits;
using test::Contents;
using test::ExpectSameMatrix;
using test::FakeReader;
using test::Make;
using test::MakeC;
using Rows = std::vector<std::vector<double>>;

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct AllocationGuard {
    ~AllocationGuard() { FailAllocationsAfter(-1); }
};

TEST(PlusMinus, NewMatricesOfSumsAndDifferences) {
    const Matrix a = Make({{1, 2, 3}, {4, 5, 6}});
    const Matrix b = Make({{0.5, -2, 10}, {-4, 0, 1}});
    Matrix r;
    ASSERT_TRUE(Plus(a, &b, &r).ok());
    EXPECT_EQ(Contents(r), (Rows{{1.5, 0, 13}, {0, 5, 7}}));
    ASSERT_TRUE(Minus(a, &b, &r).ok());
    EXPECT_EQ(Contents(r), (Rows{{0.5, 4, -7}, {8, 5, 5}}));
    ASSERT_TRUE(Minus(b, &a, &r).ok());  // a − b, not b − a
    EXPECT_EQ(Contents(r), (Rows{{-0.5, -4, 7}, {-8, -5, -5}}));
    EXPECT_EQ(Contents(a), (Rows{{1, 2, 3}, {4, 5, 6}}));
}

TEST(PlusMinus, ShapeMismatchesAndUnsizedMatricesFailBeforeAnythingIsRead) {
    const Matrix a = Make({{1, 2}, {3, 4}});
    Matrix r = Make({{99}});
    Matrix unsized;
    EXPECT_EQ(Plus(a, &unsized, &r).message(), 1312);
    EXPECT_EQ(Minus(a, &unsized, &r).message(), 1312);
    EXPECT_EQ(Plus(unsized, &a, &r).message(), 1321);
    EXPECT_EQ(Plus(unsized, nullptr, &r).message(), 1321);
    EXPECT_EQ(Plus(unsized, &unsized, &r).message(), 1321);
    EXPECT_EQ(Plus(a, nullptr, &r).code(), Status::NullPointer().code());
    EXPECT_EQ(Minus<double>(a, &a, nullptr).code(), Status::NullPointer().code());
    for (auto [rows, cols] : {std::pair{2, 3}, {3, 2}, {1, 2}, {2, 1}}) {
        FakeReader<double> b(rows, cols, [](std::int32_t, std::int32_t) { return 1.0; });
        const Status s = Plus(a, &b, &r);
        EXPECT_EQ(s.message(), 1312);
        EXPECT_EQ(s.code(), static_cast<std::int32_t>(0x80040520u));
        EXPECT_TRUE(b.reads.empty());
    }
    ExpectSameMatrix(r, Make({{99}}));
}

TEST(PlusEqualsMinusEquals, InPlaceWithTheSameTestsFirst) {
    Matrix a = Make({{1, 2}, {3, 4}});
    const Matrix b = Make({{10, 20}, {30, 40}});
    ASSERT_TRUE(PlusEquals(a, &b).ok());
    EXPECT_EQ(Contents(a), (Rows{{11, 22}, {33, 44}}));
    ASSERT_TRUE(MinusEquals(a, &b).ok());
    EXPECT_EQ(Contents(a), (Rows{{1, 2}, {3, 4}}));

    FakeReader<double> wide(2, 3, [](std::int32_t, std::int32_t) { return 1.0; });
    EXPECT_EQ(PlusEquals(a, &wide).message(), 1312);
    EXPECT_EQ(MinusEquals(a, &wide).message(), 1312);
    EXPECT_TRUE(wide.reads.empty());
    EXPECT_EQ(PlusEquals(a, nullptr).code(), Status::NullPointer().code());
    EXPECT_EQ(Contents(a), (Rows{{1, 2}, {3, 4}}));

    Matrix unsized;
    EXPECT_EQ(PlusEquals(unsized, &a).message(), 1321);
    EXPECT_EQ(MinusEquals(unsized, nullptr).message(), 1321);
    EXPECT_FALSE(unsized.sized());
}

TEST(PlusEqualsMinusEquals, AMatrixWithItselfDoublesOrZeroesItsFiniteElements) {
    Matrix a = Make({{1, -2.5}, {kInf, kNaN}});
    ASSERT_TRUE(PlusEquals(a, &a).ok());
    EXPECT_EQ(a.at(0, 0), 2.0);
    EXPECT_EQ(a.at(0, 1), -5.0);
    EXPECT_EQ(a.at(1, 0), kInf);
    EXPECT_TRUE(std::isnan(a.at(1, 1)));
    ASSERT_TRUE(MinusEquals(a, &a).ok());
    EXPECT_EQ(Bits(a.at(0, 0)), Bits(0.0));
    EXPECT_EQ(Bits(a.at(0, 1)), Bits(0.0));
    EXPECT_TRUE(std::isnan(a.at(1, 0)));  // inf − inf
    EXPECT_TRUE(std::isnan(a.at(1, 1)));
}

// A reader that shows A transposed, read live: each element of B is read
// just before the element of A at the same place is written, so the later
// reads see the earlier writes.
TEST(PlusEqualsMinusEquals, EachElementOfBIsReadJustBeforeItsWrite) {
    Matrix a = Make({{1, 2}, {3, 4}});
    FakeReader<double> transposed(2, 2, [&a](std::int32_t i, std::int32_t j) { return a.at(j, i); });
    ASSERT_TRUE(PlusEquals(a, &transposed).ok());
    EXPECT_EQ(Contents(a), (Rows{{2, 5}, {8, 8}}));  // (1, 0) saw the new (0, 1)
    EXPECT_EQ(transposed.reads, test::RowByRow(2, 2));

    Matrix m = Make({{1, 2}, {3, 4}});
    FakeReader<double> mt(2, 2, [&m](std::int32_t i, std::int32_t j) { return m.at(j, i); });
    ASSERT_TRUE(MinusEquals(m, &mt).ok());
    EXPECT_EQ(Contents(m), (Rows{{0, -1}, {4, 0}}));  // 3 − (−1)
}

TEST(PlusEqualsMinusEquals, AFailedReadOfBCountsAsZero) {
    Matrix a = Make({{1, 2, 3}});
    FakeReader<double> b(1, 3, [](std::int32_t, std::int32_t j) { return 10.0 * (j + 1); });
    b.failing = {{0, 1}};
    ASSERT_TRUE(PlusEquals(a, &b).ok());
    EXPECT_EQ(Contents(a), (Rows{{11, 2, 33}}));
    Matrix r;
    ASSERT_TRUE(Minus(a, &b, &r).ok());
    EXPECT_EQ(Contents(r), (Rows{{1, 2, 3}}));
}

TEST(TimesScalarTranspose, ScalarProductsAndTransposes) {
    const Matrix a = Make({{1, -2, 0}, {0.5, 3, -0.0}});
    Matrix r = Make({{99}});
    ASSERT_TRUE(TimesScalar(a, -2.0, &r).ok());
    EXPECT_EQ(Contents(r), (Rows{{-2, 4, -0.0}, {-1, -6, 0}}));
    EXPECT_EQ(Bits(r.at(0, 2)), Bits(-0.0));
    ASSERT_TRUE(TimesScalar(a, kInf, &r).ok());
    EXPECT_TRUE(std::isnan(r.at(0, 2)));  // 0 × inf
    ASSERT_TRUE(TimesScalar(a, 0.1, &r).ok());
    EXPECT_EQ(Bits(r.at(1, 1)), Bits(0.30000000000000004));

    ASSERT_TRUE(Transpose(a, &r).ok());
    EXPECT_EQ(Contents(r), (Rows{{1, 0.5}, {-2, 3}, {0, -0.0}}));
    EXPECT_EQ(Bits(r.at(2, 1)), Bits(-0.0));

    Matrix unsized;
    Matrix kept = Make({{7}});
    EXPECT_EQ(TimesScalar(unsized, 2.0, &kept).message(), 1321);
    EXPECT_EQ(Transpose(unsized, &kept).message(), 1321);
    EXPECT_EQ(TimesScalar<double>(a, 2.0, nullptr).code(), Status::NullPointer().code());
    EXPECT_EQ(Transpose<double>(a, nullptr).code(), Status::NullPointer().code());
    ExpectSameMatrix(kept, Make({{7}}));
}

TEST(ComplexArithmetic, ComponentwiseSumsAndComplexScalarProducts) {
    const CMatrix a = MakeC({{{1, 2}, {3, -4}}});
    const CMatrix b = MakeC({{{0.5, 0.5}, {-3, 4}}});
    CMatrix r;
    ASSERT_TRUE(Plus(a, &b, &r).ok());
    ExpectSameMatrix(r, MakeC({{{1.5, 2.5}, {0, 0}}}));
    ASSERT_TRUE(Minus(a, &b, &r).ok());
    ExpectSameMatrix(r, MakeC({{{0.5, 1.5}, {6, -8}}}));
    ASSERT_TRUE(TimesScalar(a, Complex{0, 1}, &r).ok());
    ExpectSameMatrix(r, MakeC({{{-2, 1}, {4, 3}}}));

    CMatrix c = MakeC({{{1, 2}}, {{-0.5, 0}}});
    ASSERT_TRUE(PlusEquals(c, &c).ok());
    ExpectSameMatrix(c, MakeC({{{2, 4}}, {{-1, 0}}}));
    ASSERT_TRUE(MinusEquals(c, &c).ok());
    ExpectSameMatrix(c, MakeC({{{0, 0}}, {{0, 0}}}));
    EXPECT_EQ(PlusEquals(c, &a).message(), 1312);
    EXPECT_EQ(Minus(c, &a, &r).message(), 1312);
    ExpectSameMatrix(c, MakeC({{{0, 0}}, {{0, 0}}}));
}

TEST(ComplexArithmetic, AForeignComplexMatrixIsReadThroughItsInterface) {
    CMatrix a = MakeC({{{1, 1}, {2, 2}}});
    FakeReader<Complex> b(1, 2, [](std::int32_t, std::int32_t j) { return Complex{0.5, -1.0 * j}; });
    b.failing = {{0, 0}};  // counts as (0, 0)
    ASSERT_TRUE(PlusEquals(a, &b).ok());
    ExpectSameMatrix(a, MakeC({{{1, 1}, {2.5, 1}}}));
    EXPECT_EQ(b.reads, test::RowByRow(1, 2));
}

TEST(ComplexArithmetic, TransposeDoesNotConjugate) {
    const CMatrix a = MakeC({{{1, 2}, {3, 4}}});
    CMatrix r;
    ASSERT_TRUE(Transpose(a, &r).ok());
    ExpectSameMatrix(r, MakeC({{{1, 2}}, {{3, 4}}}));
}

TEST(ArithmeticMemory, FailedAllocationsChangeNothingAndLeakNothing) {
    AllocationGuard guard;
    const Matrix a = Make({{1, 2}, {3, 4}});
    for (long k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        Matrix r = Make({{99}});
        FailAllocationsAfter(k);
        const Status plus = Plus(a, &a, &r);
        FailAllocationsAfter(k);
        const Status minus = Minus(a, &a, &r);
        FailAllocationsAfter(k);
        const Status scalar = TimesScalar(a, 2.0, &r);
        FailAllocationsAfter(k);
        const Status transpose = Transpose(a, &r);
        FailAllocationsAfter(-1);
        for (Status s : {plus, minus, scalar, transpose}) EXPECT_EQ(s.code(), Status::OutOfMemory().code());
        ExpectSameMatrix(r, Make({{99}}));
    }
    CMatrix c = MakeC({{{1, 1}}});
    CMatrix r = MakeC({{{9, 9}}});
    FailAllocationsAfter(1);
    EXPECT_EQ(Transpose(c, &r).code(), Status::OutOfMemory().code());
    FailAllocationsAfter(-1);
    ExpectSameMatrix(r, MakeC({{{9, 9}}}));
}

}  // namespace
}  // namespace corvane
