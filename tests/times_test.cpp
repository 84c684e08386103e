// The matrix product of both element types: shapes and messages, the reading
// of the second matrix, the order of each sum, and the faster kernel against
// the straightforward one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "arithmetic_test_support.h"
#include "core/allocation.h"
#include "core/arithmetic.h"
#include "core/product_kernels.h"

namespace corvane {
namespace {

using test::Bits;
using test::Contents;
using test::ExpectSameMatrix;
using test::FakeReader;
using test::Make;
using test::MakeC;
using Rows = std::vector<std::vector<double>>;

struct AllocationGuard {
    ~AllocationGuard() { FailAllocationsAfter(-1); }
};

TEST(Times, ShapesOfTheProductAndTheMismatchMessage) {
    const Matrix a = Make({{1, 2, 3}, {4, 5, 6}});
    const Matrix b = Make({{7, 8}, {9, 10}, {11, 12}});
    Matrix r = Make({{99}});
    ASSERT_TRUE(Times(a, &b, &r).ok());
    EXPECT_EQ(Contents(r), (Rows{{58, 64}, {139, 154}}));

    Matrix untouched = Make({{99}});
    const Status s = Times(a, &a, &untouched);  // 2 × 3 by 2 × 3
    EXPECT_EQ(s.message(), 1307);
    EXPECT_EQ(s.code(), static_cast<std::int32_t>(0x8004051Bu));
    ExpectSameMatrix(untouched, Make({{99}}));

    Matrix unsized;
    EXPECT_EQ(Times(a, &unsized, &untouched).message(), 1307);  // 0 rows
    EXPECT_EQ(Times(unsized, &b, &untouched).message(), 1321);
    EXPECT_EQ(Times(unsized, nullptr, &untouched).message(), 1321);
    EXPECT_EQ(Times<double>(unsized, &b, nullptr).message(), 1321);
    EXPECT_EQ(Times(a, nullptr, &untouched).code(), Status::NullPointer().code());
    EXPECT_EQ(Times<double>(a, &b, nullptr).code(), Status::NullPointer().code());
    ExpectSameMatrix(untouched, Make({{99}}));
}

TEST(Times, ASecondMatrixWithRowsButNoColumnsCannotSizeTheResult) {
    const Matrix a = Make({{1, 2, 3}});
    Matrix rowsOnly;
    ASSERT_TRUE(rowsOnly.PutRows(3).ok());  // reports 3 rows and 0 columns
    Matrix r = Make({{99}});
    EXPECT_EQ(Times(a, &rowsOnly, &r).message(), 1302);
    FakeReader<double> negative(3, -5, [](std::int32_t, std::int32_t) { return 1.0; });
    EXPECT_EQ(Times(a, &negative, &r).message(), 1302);
    EXPECT_TRUE(negative.reads.empty());
    ExpectSameMatrix(r, Make({{99}}));
}

TEST(Times, ASquareMatrixTimesItselfEqualsTheProductWithACopy) {
    std::mt19937_64 rng(7);
    for (std::int32_t n : {1, 3, 5, 9}) {
        Matrix a = test::RandomMatrixOf<double>(rng, n, n);
        const Matrix copy = test::Copy(a);
        Matrix self, separate;
        ASSERT_TRUE(Times(a, &a, &self).ok());
        ASSERT_TRUE(Times(a, &copy, &separate).ok());
        ExpectSameMatrix(self, separate);
        ExpectSameMatrix(a, copy);  // A itself is unchanged
    }
}

// Each element is ((0 + a0·b0) + a1·b1) + a2·b2: 1 + 1e16 rounds back to
// 1e16, so the first row loses its 1 and the second keeps it; the reverse
// order would give the opposite.
TEST(Times, EachSumRunsInIncreasingKFromPositiveZero) {
    const Matrix a = Make({{1, 1e16, -1e16}, {1e16, -1e16, 1}});
    const Matrix b = Make({{1}, {1}, {1}});
    Matrix r;
    ASSERT_TRUE(Times(a, &b, &r).ok());
    EXPECT_EQ(Contents(r), (Rows{{0}, {1}}));

    // The sum starts at +0.0, so a lone product of -0.0 ends as +0.0.
    const Matrix neg = Make({{-1}});
    const Matrix zero = Make({{0}});
    ASSERT_TRUE(Times(neg, &zero, &r).ok());
    EXPECT_EQ(Bits(r.at(0, 0)), Bits(0.0));
}

TEST(Times, InfinitiesAndNaNsPropagateAsInTheDotProduct) {
    const double inf = std::numeric_limits<double>::infinity();
    const Matrix a = Make({{inf, 1}, {0, 1}});
    const Matrix b = Make({{1, 0}, {-inf, 2}});
    Matrix r;
    ASSERT_TRUE(Times(a, &b, &r).ok());
    EXPECT_TRUE(std::isnan(r.at(0, 0)));  // inf + (-inf)
    EXPECT_TRUE(std::isnan(r.at(0, 1)));  // inf · 0
    EXPECT_EQ(r.at(1, 0), -inf);
    EXPECT_EQ(r.at(1, 1), 2.0);
}

TEST(Times, AForeignSecondMatrixIsReadOnceRowByRowBeforeTheProduct) {
    const Matrix a = Make({{1, 2}, {3, 4}, {5, 6}});
    FakeReader<double> b(2, 3, [](std::int32_t i, std::int32_t j) { return 10.0 * i + j; });
    b.failing = {{1, 2}};  // counts as zero
    Matrix r;
    ASSERT_TRUE(Times(a, &b, &r).ok());
    EXPECT_EQ(b.reads, test::RowByRow(2, 3));
    EXPECT_EQ(Contents(r), (Rows{{20, 23, 2}, {40, 47, 6}, {60, 71, 10}}));
}

TEST(Times, ComplexProductsUseTheComplexMultiplication) {
    const CMatrix i1 = MakeC({{{0, 1}}});
    CMatrix r;
    ASSERT_TRUE(Times(i1, &i1, &r).ok());
    ExpectSameMatrix(r, MakeC({{{-1, 0}}}));

    const CMatrix a = MakeC({{{1, 2}, {3, -1}}});
    const CMatrix b = MakeC({{{0, 1}}, {{2, 2}}});
    ASSERT_TRUE(Times(a, &b, &r).ok());
    // (1+2i)·i + (3−i)(2+2i) = (−2 + i) + (8 + 4i)
    ExpectSameMatrix(r, MakeC({{{6, 5}}}));

    const CMatrix wrong = MakeC({{{1, 0}, {2, 0}}});
    EXPECT_EQ(Times(a, &wrong, &r).message(), 1307);
    ExpectSameMatrix(r, MakeC({{{6, 5}}}));
}

TEST(Times, FailedAllocationsLeaveTheResultAloneAndLeakNothing) {
    AllocationGuard guard;
    const Matrix a = Make({{1, 2}, {3, 4}});
    // The result (1 + 2 blocks); a core matrix as B is read in place.
    for (long k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        Matrix r = Make({{99}});
        FailAllocationsAfter(k);
        const Status s = Times(a, &a, &r);
        FailAllocationsAfter(-1);
        EXPECT_EQ(s.code(), Status::OutOfMemory().code());
        ExpectSameMatrix(r, Make({{99}}));
    }
    Matrix r;
    FailAllocationsAfter(3);
    EXPECT_TRUE(Times(a, &a, &r).ok());
}

TEST(Times, AnUnstorableProductFailsCleanly) {
    const Matrix a = Make({{1}});
    FakeReader<double> wide(1, kMaxSize, [](std::int32_t, std::int32_t) { return 1.0; });
    Matrix r = Make({{99}});
    EXPECT_EQ(Times(a, &wide, &r).code(), Status::OutOfMemory().code());
    EXPECT_TRUE(wide.reads.empty());
    ExpectSameMatrix(r, Make({{99}}));
}

// The blocked kernel must give the straightforward kernel's bits exactly, on
// shapes that exercise every edge of its blocks (rows not a multiple of four,
// column and depth blocks cut short).
template <class T>
void BlockedKernelMatchesTheDotProduct(std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    const std::int32_t shapes[][3] = {{1, 1, 1},   {2, 3, 4},    {4, 64, 4},   {5, 65, 7},   {7, 130, 3},
                                      {9, 1, 600}, {3, 200, 520}, {13, 17, 258}, {8, 129, 257}, {6, 63, 1030}};
    for (const auto& s : shapes) {
        SCOPED_TRACE(testing::Message() << s[0] << " x " << s[1] << " x " << s[2]);
        const BasicMatrix<T> a = test::RandomMatrixOf<T>(rng, s[0], s[1]);
        const BasicMatrix<T> b = test::RandomMatrixOf<T>(rng, s[1], s[2]);
        BasicMatrix<T> reference, blocked;
        ASSERT_TRUE(reference.Size(s[0], s[2]).ok());
        ASSERT_TRUE(blocked.Size(s[0], s[2]).ok());
        MatrixProductDot(a.rows(), b.rows(), reference.rows(), s[0], s[1], s[2]);
        MatrixProductBlocked(a.rows(), b.rows(), blocked.rows(), s[0], s[1], s[2]);
        ExpectSameMatrix(blocked, reference);
        BasicMatrix<T> viaTimes;
        ASSERT_TRUE(Times(a, &b, &viaTimes).ok());
        ExpectSameMatrix(viaTimes, reference);
    }
}

TEST(TimesKernels, BlockedGivesTheSameBitsAsTheDotProduct) {
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        BlockedKernelMatchesTheDotProduct<double>(seed);
        BlockedKernelMatchesTheDotProduct<Complex>(seed + 100);
    }
}

// Signed zeros, infinities and NaN positions agree as well (NaN payloads are
// not compared: which operand's payload survives is not part of the sum).
TEST(TimesKernels, SpecialValuesLandInTheSamePlaces) {
    std::mt19937_64 rng(42);
    const double specials[] = {0.0, -0.0, std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::denorm_min(), 1e308, -1e308};
    const std::int32_t m = 11, p = 70, q = 530;
    Matrix a = test::RandomMatrixOf<double>(rng, m, p);
    Matrix b = test::RandomMatrixOf<double>(rng, p, q);
    std::uniform_int_distribution<int> pick(0, 7);
    std::uniform_int_distribution<int> rowA(0, m - 1), colA(0, p - 1), colB(0, q - 1);
    for (int t = 0; t < 40; ++t) a.at(rowA(rng), colA(rng)) = specials[pick(rng)];
    for (int t = 0; t < 400; ++t) b.at(colA(rng), colB(rng)) = specials[pick(rng)];
    Matrix reference, blocked;
    ASSERT_TRUE(reference.Size(m, q).ok());
    ASSERT_TRUE(blocked.Size(m, q).ok());
    MatrixProductDot(a.rows(), b.rows(), reference.rows(), m, p, q);
    MatrixProductBlocked(a.rows(), b.rows(), blocked.rows(), m, p, q);
    for (std::int32_t i = 0; i < m; ++i)
        for (std::int32_t j = 0; j < q; ++j) {
            const double x = blocked.at(i, j), y = reference.at(i, j);
            if (std::isnan(y))
                EXPECT_TRUE(std::isnan(x)) << i << ", " << j;
            else
                EXPECT_EQ(Bits(x), Bits(y)) << i << ", " << j;
        }
}

}  // namespace
}  // namespace corvane
