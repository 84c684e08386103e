// Inverse and SolveGauss: documented cases, checks and their order, the
// zero-multiplier rule of each, residuals on random matrices, LAPACK oracle.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "core/allocation.h"
#include "linalg/inverse.h"
#include "linalg_test_support.h"

namespace corvane {
namespace {

using namespace test;
using Rows = std::vector<std::vector<double>>;

TEST(Inverse, DocumentedCases) {
    Matrix x;
    ASSERT_TRUE(Inverse(Make({{2}}), &x).ok());
    EXPECT_EQ(Contents(x), (Rows{{0.5}}));
    ASSERT_TRUE(Inverse(Make({{0, 1}, {1, 0}}), &x).ok());
    EXPECT_EQ(Contents(x), (Rows{{0, 1}, {1, 0}}));
    ASSERT_TRUE(Inverse(FromDense(Identity(4)), &x).ok());
    EXPECT_EQ(Contents(x), Identity(4));
    Matrix self = Make({{0, 2}, {4, 0}});
    ASSERT_TRUE(Inverse(self, &self).ok());  // the copy is taken before the result replaces it
    EXPECT_EQ(Contents(self), (Rows{{0, 0.25}, {0.5, 0}}));
}

TEST(Inverse, FailuresLeaveTheResultAlone) {
    Matrix x = Make({{7}});
    EXPECT_EQ(Inverse(Matrix(), &x).message(), kNotSized);
    EXPECT_EQ(Inverse(Make({{1, 2, 3}, {4, 5, 6}}), &x).message(), kNotSquare);
    EXPECT_EQ(Inverse(Make({{1, 2}, {2, 4}}), &x).message(), kCannotInvert);
    EXPECT_EQ(Inverse(Make({{0, 0}, {0, 0}}), &x).message(), kCannotInvert);
    EXPECT_EQ(Inverse(Make({{1}}), nullptr).code(), Status::NullPointer().code());
    ExpectSameBits(x, Make({{7}}));
}

// The pivot reciprocal overflows to infinity, making a(0, 1) = 0·inf NaN.
// Row 1 has a zero multiplier and is still eliminated, so the NaN reaches
// its pivot and the column counts as exhausted. (SolveGauss skips that row
// and succeeds on the same matrix.)
TEST(Inverse, RowsWithAZeroMultiplierAreEliminatedToo) {
    Matrix x = Make({{7}});
    EXPECT_EQ(Inverse(Make({{1e-310, 0}, {0, 1}}), &x).message(), kCannotInvert);
    ExpectSameBits(x, Make({{7}}));
}

// Pivots are chosen by plain magnitude (no row scaling): row 1 of the first
// matrix wins although LU's weighing would keep row 0.
TEST(Inverse, PlainPartialPivotingAndReciprocalScaling) {
    Matrix x;
    ASSERT_TRUE(Inverse(Make({{1, 1000}, {2, 1}}), &x).ok());
    // Reference: rows exchanged, then Gauss-Jordan with reciprocals.
    const double r0 = 1.0 / 2.0;
    double a01 = 1.0 * r0, b00 = 0.0 * r0, b01 = 1.0 * r0;  // pivot row (2 1 | 0 1)
    double c11 = 1000.0 - 1.0 * a01, c10 = 1.0 - 1.0 * b00, c11b = 0.0 - 1.0 * b01;
    const double r1 = 1.0 / c11;
    c10 *= r1;
    c11b *= r1;
    const double x00 = b00 - a01 * c10, x01 = b01 - a01 * c11b;
    EXPECT_EQ(Bits(x.at(0, 0)), Bits(x00));
    EXPECT_EQ(Bits(x.at(0, 1)), Bits(x01));
    EXPECT_EQ(Bits(x.at(1, 0)), Bits(c10));
    EXPECT_EQ(Bits(x.at(1, 1)), Bits(c11b));
}

TEST(Inverse, ResidualOnRandomMatrices) {
    std::mt19937_64 rng(4242);
    for (Kind kind : {Kind::General, Kind::IllConditioned, Kind::Graded})
        for (std::size_t n = 1; n <= 60; n += (n < 10 ? 1 : 9)) {
            SCOPED_TRACE(testing::Message() << KindName(kind) << " n=" << n);
            const Dense a = RandomDense(rng, n, n, kind);
            Matrix x;
            ASSERT_TRUE(Inverse(FromDense(a), &x).ok());
            const Dense xi = ToDense(x);
            // ‖A·X − I‖ <= c·n·ε·‖A‖·‖X‖ for Gauss-Jordan with partial pivoting.
            EXPECT_LE(Distance(Multiply(a, xi), Identity(n)), 8.0 * static_cast<double>(n) * kEps * Norm(a) * Norm(xi));
        }
}

TEST(Inverse, RankDeficientFailsOrIsHuge) {
    std::mt19937_64 rng(9);
    for (std::size_t n = 2; n <= 30; n += 4) {
        Matrix x = Make({{7}});
        const Status s = Inverse(FromDense(RandomDense(rng, n, n, Kind::ZeroRowAndColumn)), &x);
        EXPECT_EQ(s.message(), kCannotInvert);  // the zero column exhausts its pivot
        ExpectSameBits(x, Make({{7}}));
    }
}

TEST(Inverse, BadElementsNeverCrash) {
    std::mt19937_64 rng(12);
    for (std::size_t n : {1u, 3u, 16u}) {
        Matrix x = Make({{7}});
        EXPECT_EQ(Inverse(FromDense(Dense(n, std::vector<double>(n, kNaN))), &x).message(), kCannotInvert);
        ExpectSameBits(x, Make({{7}}));
        Dense one = RandomDense(rng, n, n);
        one[0][n - 1] = kInf;
        const Status s = Inverse(FromDense(one), &x);  // the infinity spreads NaN
        EXPECT_TRUE(s.ok() || s.message() == kCannotInvert);
        Dense huge = RandomDense(rng, n, n);
        for (auto& row : huge)
            for (double& v : row) v *= 1e307;
        EXPECT_TRUE(Inverse(FromDense(huge), &x).ok());
    }
}

TEST(Inverse, OutOfMemoryAtEveryAllocationWritesNothing) {
    AllocationGuard guard;
    const Matrix a = Make({{4, 1, 0}, {1, 4, 1}, {0, 1, 4}});
    bool succeeded = false;
    for (long k = 0; k < 40 && !succeeded; ++k) {
        Matrix x = Make({{7}});
        FailAllocationsAfter(k);
        const Status s = Inverse(a, &x);
        FailAllocationsAfter(-1);
        if (s.ok()) {
            succeeded = true;
            EXPECT_EQ(x.Rows(), 3);
            continue;
        }
        EXPECT_EQ(s.code(), Status::OutOfMemory().code());
        ExpectSameBits(x, Make({{7}}));
    }
    EXPECT_TRUE(succeeded);
}

TEST(SolveGauss, DocumentedCasesAndCheckOrder) {
    Matrix x;
    const Matrix rhs = Make({{3}, {4}});
    ASSERT_TRUE(SolveGauss(Make({{0, 1}, {1, 0}}), &rhs, &x).ok());
    EXPECT_EQ(Contents(x), (Rows{{4}, {3}}));

    Matrix keep = Make({{7}});
    const Matrix a3 = Make({{2, 1, 0}, {1, 2, 1}, {0, 1, 2}});
    const Matrix wide = Make({{1, 2}, {3, 4}, {5, 6}});
    const Matrix shortRhs = Make({{1}, {2}});
    const Matrix unsizedRhs;
    EXPECT_EQ(SolveGauss(a3, &wide, &keep).message(), kRightHandWrongSize);
    EXPECT_EQ(SolveGauss(a3, &shortRhs, &keep).message(), kRightHandWrongSize);
    EXPECT_EQ(SolveGauss(a3, &unsizedRhs, &keep).message(), kRightHandWrongSize);
    EXPECT_EQ(SolveGauss(a3, nullptr, &keep).code(), Status::NullPointer().code());
    EXPECT_EQ(SolveGauss(Make({{1, 2}, {2, 4}}), &rhs, &keep).message(), kCannotSolve);
    // The matrix is examined before the right-hand side.
    EXPECT_EQ(SolveGauss(Matrix(), nullptr, &keep).message(), kNotSized);
    EXPECT_EQ(SolveGauss(Make({{1, 2, 3}, {4, 5, 6}}), &wide, &keep).message(), kNotSquare);
    EXPECT_EQ(SolveGauss(a3, &wide, nullptr).code(), Status::NullPointer().code());
    ExpectSameBits(keep, Make({{7}}));
}

// A row whose multiplier is exactly zero is skipped. Here the pivot
// reciprocal overflows and a(0, 1) becomes 0·inf = NaN; row 1 is skipped, so
// its pivot stays 1 (eliminating it would make it NaN and fail).
TEST(SolveGauss, RowsWithAZeroMultiplierAreSkipped) {
    Matrix x;
    const Matrix rhs = Make({{1}, {1}});
    ASSERT_TRUE(SolveGauss(Make({{1e-310, 0}, {0, 1}}), &rhs, &x).ok());
    EXPECT_TRUE(std::isnan(x.at(0, 0)));
    EXPECT_EQ(x.at(1, 0), 1.0);
    const Matrix infinite = Make({{kInf}, {1}});
    ASSERT_TRUE(SolveGauss(FromDense(Identity(2)), &infinite, &x).ok());
    EXPECT_EQ(x.at(0, 0), kInf);
    EXPECT_EQ(x.at(1, 0), 1.0);  // not 1 − 0·inf
}

TEST(SolveGauss, NeitherMatrixNorRightHandSideChangesAndAliasingIsAllowed) {
    Matrix a = Make({{4}});
    ASSERT_TRUE(SolveGauss(a, &a, &a).ok());  // x = 4 / 4, written over the matrix itself
    EXPECT_EQ(Contents(a), (Rows{{1}}));

    std::mt19937_64 rng(1);
    const Matrix m = FromDense(DominantDense(rng, 5));
    const Matrix b = FromDense(RandomDense(rng, 5, 1));
    Matrix mc, bc, x;
    ASSERT_TRUE(m.Clone(&mc).ok());
    ASSERT_TRUE(b.Clone(&bc).ok());
    ASSERT_TRUE(SolveGauss(m, &b, &x).ok());
    ExpectSameBits(m, mc);
    ExpectSameBits(b, bc);
}

TEST(SolveGauss, ResidualOnRandomSystems) {
    std::mt19937_64 rng(777);
    for (Kind kind : {Kind::General, Kind::IllConditioned, Kind::Graded})
        for (std::size_t n = 1; n <= 60; n += (n < 10 ? 1 : 9)) {
            SCOPED_TRACE(testing::Message() << KindName(kind) << " n=" << n);
            const Dense a = RandomDense(rng, n, n, kind);
            const Dense b = RandomDense(rng, n, 1);
            const Matrix bm = FromDense(b);
            Matrix x;
            ASSERT_TRUE(SolveGauss(FromDense(a), &bm, &x).ok());
            const Dense xd = ToDense(x);
            EXPECT_LE(Distance(Multiply(a, xd), b), 8.0 * static_cast<double>(n) * kEps * (Norm(a) * Norm(xd) + Norm(b)));
            // The same solution as the inverse times b, to within rounding.
            Matrix inv;
            ASSERT_TRUE(Inverse(FromDense(a), &inv).ok());
            if (kind == Kind::General) {
                EXPECT_LE(Distance(Multiply(ToDense(inv), b), xd),
                          1e3 * static_cast<double>(n) * kEps * Norm(ToDense(inv)) * Norm(b));
            }
        }
}

TEST(SolveGauss, BadElementsAndMemory) {
    AllocationGuard guard;
    const Matrix rhs = Make({{1}, {2}, {3}});
    Matrix x = Make({{7}});
    EXPECT_EQ(SolveGauss(FromDense(Dense(3, std::vector<double>(3, kNaN))), &rhs, &x).message(), kCannotSolve);
    EXPECT_TRUE(SolveGauss(Make({{1, kInf, 0}, {0, 1, 0}, {0, 0, 1}}), &rhs, &x).ok());
    x = Make({{7}});
    const Matrix a = Make({{4, 1, 0}, {1, 4, 1}, {0, 1, 4}});
    bool succeeded = false;
    for (long k = 0; k < 40 && !succeeded; ++k) {
        FailAllocationsAfter(k);
        const Status s = SolveGauss(a, &rhs, &x);
        FailAllocationsAfter(-1);
        if (s.ok()) {
            succeeded = true;
            continue;
        }
        EXPECT_EQ(s.code(), Status::OutOfMemory().code());
        ExpectSameBits(x, Make({{7}}));
    }
    EXPECT_TRUE(succeeded);
}

#ifdef CORVANE_HAVE_LAPACK
TEST(Inverse, AgreesWithLapack) {
    std::mt19937_64 rng(31337);
    for (int n = 1; n <= 60; n += (n < 8 ? 1 : 6)) {
        SCOPED_TRACE(n);
        const Dense a = DominantDense(rng, static_cast<std::size_t>(n));
        std::vector<double> c = ColumnMajor(a);
        std::vector<int> ipiv(static_cast<std::size_t>(n));
        int info = 0, lwork = 64 * n;
        std::vector<double> work(static_cast<std::size_t>(lwork));
        dgetrf_(&n, &n, c.data(), &n, ipiv.data(), &info);
        ASSERT_EQ(info, 0);
        dgetri_(&n, c.data(), &n, ipiv.data(), work.data(), &lwork, &info);
        ASSERT_EQ(info, 0);
        Matrix x;
        ASSERT_TRUE(Inverse(FromDense(a), &x).ok());
        Dense ref(static_cast<std::size_t>(n), std::vector<double>(static_cast<std::size_t>(n)));
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) ref[i][j] = c[static_cast<std::size_t>(j * n + i)];
        EXPECT_LE(Distance(ToDense(x), ref), 16.0 * n * kEps * Norm(ref));
    }
}
#endif

}  // namespace
}  // namespace corvane
