// Solve: X = A⁻¹·B through Inverse and Times, its checks in order, its
// messages, and its results bit for bit equal to that composition.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "core/allocation.h"
#include "core/arithmetic.h"
#include "linalg/inverse.h"
#include "linalg/solve.h"
#include "linalg_test_support.h"

namespace corvane {
namespace {

using namespace test;

TEST(Solve, IsTheInverseTimesTheRightHandSideBitForBit) {
    std::mt19937_64 rng(2024);
    for (std::int32_t n = 1; n <= 12; ++n) {
        for (std::int32_t cols : {1, 2, 5}) {
            SCOPED_TRACE(testing::Message() << n << " x " << cols);
            const Matrix a = FromDense(RandomDense(rng, n, n));
            const Matrix b = FromDense(RandomDense(rng, n, cols));
            Matrix inverse, expected, x;
            ASSERT_TRUE(Inverse(a, &inverse).ok());
            ASSERT_TRUE(Times(inverse, &b, &expected).ok());
            ASSERT_TRUE(Solve(a, &b, &x).ok());
            EXPECT_EQ(x.Rows(), n);
            EXPECT_EQ(x.Cols(), cols);
            ExpectSameBits(x, expected);
        }
    }
}

TEST(Solve, ChecksComeInOrderAndFailuresLeaveEverythingAlone) {
    const Matrix sq = Make({{4, 1, 0}, {1, 3, 1}, {0, 1, 2}});
    const Matrix rhs = Make({{1, 2}, {3, 4}, {5, 6}});
    Matrix x = Make({{7}});
    Matrix unsizedRhs;
    EXPECT_EQ(Solve(Matrix(), &rhs, &x).message(), kNotSized);
    EXPECT_EQ(Solve(Make({{1, 2, 3}, {4, 5, 6}}), &rhs, &x).message(), kNotSquare);
    EXPECT_EQ(Solve(sq, nullptr, &x).code(), Status::NullPointer().code());
    EXPECT_EQ(Solve(sq, &rhs, nullptr).code(), Status::NullPointer().code());
    EXPECT_EQ(Solve(sq, &unsizedRhs, &x).message(), kRightHandWrongSize);
    const Matrix twoRows = Make({{1}, {2}});
    EXPECT_EQ(Solve(sq, &twoRows, &x).message(), kRightHandWrongSize);
    // A singular matrix is "cannot be solved", not "cannot be inverted".
    const Matrix singular = Make({{1, 2}, {2, 4}});
    const Matrix rhs2 = Make({{1}, {1}});
    EXPECT_EQ(Solve(singular, &rhs2, &x).message(), kCannotSolve);
    ExpectSameBits(x, Make({{7}}));
    ExpectSameBits(rhs, Make({{1, 2}, {3, 4}, {5, 6}}));
}

// A right-hand side with a row count but no column count cannot be
// multiplied: the failure is reported instead of a success without result.
TEST(Solve, AProductThatCannotBeFormedIsReported) {
    Matrix rowsOnly;
    ASSERT_TRUE(rowsOnly.PutRows(2).ok());
    Matrix x = Make({{7}});
    const Status s = Solve(Make({{2, 0}, {0, 4}}), &rowsOnly, &x);
    EXPECT_FALSE(s.ok());
    ExpectSameBits(x, Make({{7}}));
}

TEST(Solve, TheMatrixMayBeItsOwnRightHandSideAndResult) {
    Matrix a = Make({{2, 1}, {1, 3}});
    ASSERT_TRUE(Solve(a, &a, &a).ok());
    EXPECT_NEAR(a.at(0, 0), 1.0, 1e-15);
    EXPECT_NEAR(a.at(0, 1), 0.0, 1e-15);
    EXPECT_NEAR(a.at(1, 0), 0.0, 1e-15);
    EXPECT_NEAR(a.at(1, 1), 1.0, 1e-15);
}

TEST(Solve, LackOfMemoryAnywhereIsReportedAsSuch) {
    AllocationGuard guard;
    const Matrix a = Make({{4, 1}, {1, 3}});
    const Matrix b = Make({{1}, {2}});
    bool succeeded = false;
    for (long k = 0; k < 40 && !succeeded; ++k) {
        Matrix x = Make({{7}});
        FailAllocationsAfter(k);
        const Status s = Solve(a, &b, &x);
        FailAllocationsAfter(-1);
        if (s.ok()) {
            succeeded = true;
        } else {
            EXPECT_EQ(s.code(), Status::OutOfMemory().code()) << k;
            ExpectSameBits(x, Make({{7}}));
        }
    }
    EXPECT_TRUE(succeeded);
}

}  // namespace
}  // namespace corvane
