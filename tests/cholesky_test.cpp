// Cholesky: documented cases, the lower-triangle output rule, the exact
// symmetry test, the order of the pivot sum, random reconstruction.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "core/allocation.h"
#include "linalg/cholesky.h"
#include "linalg_test_support.h"

namespace corvane {
namespace {

using namespace test;
using Rows = std::vector<std::vector<double>>;

TEST(Cholesky, DocumentedCases) {
    Matrix L;
    ASSERT_TRUE(Cholesky(Make({{4}}), &L).ok());
    EXPECT_EQ(Contents(L), (Rows{{2}}));
    ASSERT_TRUE(Cholesky(Make({{4, 2}, {2, 3}}), &L).ok());
    EXPECT_EQ(Contents(L), (Rows{{2, 0}, {1, 1.4142135623730951}}));
    EXPECT_TRUE(Cholesky(Make({{4, 2}, {2, 3}}), nullptr).ok());  // validated without an output
}

TEST(Cholesky, FailuresWriteNothing) {
    Matrix L = Make({{5, 6}, {7, 8}});
    for (const Matrix& bad : {Make({{0}}), Make({{-1}}), Make({{-0.0}}), Make({{1, 2}, {2, 1}}),
                              Make({{4, 2}, {2.0000001, 3}}), Make({{1, 0}, {0, 0}})}) {
        EXPECT_EQ(Cholesky(bad, &L).message(), kNotPositiveDefinite);
        EXPECT_EQ(Cholesky(bad, nullptr).message(), kNotPositiveDefinite);
    }
    EXPECT_EQ(Cholesky(Make({{1, 2, 3}, {4, 5, 6}}), &L).message(), kNotSquare);
    EXPECT_EQ(Cholesky(Matrix(), &L).message(), kNotSized);
    ExpectSameBits(L, Make({{5, 6}, {7, 8}}));
}

TEST(Cholesky, OnlyTheLowerTriangleIsWritten) {
    Matrix reused = Make({{9, 9}, {9, 9}});
    ASSERT_TRUE(Cholesky(Make({{4, 2}, {2, 3}}), &reused).ok());
    EXPECT_EQ(Contents(reused), (Rows{{2, 9}, {1, 1.4142135623730951}}));

    std::vector<std::string> log;
    LoggingOutput L("L", &log);
    ASSERT_TRUE(Cholesky(Make({{4, 2, 0}, {2, 3, 1}, {0, 1, 5}}), &L).ok());
    EXPECT_EQ(log, (std::vector<std::string>{"L.Size 3 3", "L.Put 0 0", "L.Put 1 0", "L.Put 1 1", "L.Put 2 0",
                                             "L.Put 2 1", "L.Put 2 2"}));
    EXPECT_EQ(L.m.at(0, 2), 0.0);  // a newly sized object holds zeros there

    // The matrix itself as output: its upper triangle keeps A.
    Matrix self = Make({{4, 2}, {2, 3}});
    ASSERT_TRUE(Cholesky(self, &self).ok());
    EXPECT_EQ(Contents(self), (Rows{{2, 2}, {1, 1.4142135623730951}}));
}

// The squares of a row are summed first and the total subtracted once:
// 1 − (2⁻⁵⁴ + 2⁻⁵⁴) = 1 − 2⁻⁵³, while subtracting them one at a time rounds
// back to 1 at each step.
TEST(Cholesky, PivotSubtractsTheSumOfSquaresOnce) {
    const double x = std::ldexp(1.0, -27);
    ASSERT_NE((1.0 - x * x) - x * x, 1.0 - (x * x + x * x));
    Matrix L;
    ASSERT_TRUE(Cholesky(Make({{1, 0, x}, {0, 1, x}, {x, x, 1}}), &L).ok());
    EXPECT_EQ(Bits(L.at(2, 2)), Bits(std::sqrt(1.0 - (x * x + x * x))));
    EXPECT_NE(Bits(L.at(2, 2)), Bits(std::sqrt((1.0 - x * x) - x * x)));
}

// The element above the diagonal enters the quotient: +0.0 over −0.0 gives
// +0.0 (the pair counts as equal).
TEST(Cholesky, QuotientUsesTheUpperElement) {
    Matrix L;
    ASSERT_TRUE(Cholesky(Make({{4, 0.0}, {-0.0, 9}}), &L).ok());
    EXPECT_EQ(Bits(L.at(1, 0)), Bits(0.0));
    ASSERT_TRUE(Cholesky(Make({{4, -0.0}, {0.0, 9}}), &L).ok());
    EXPECT_EQ(Bits(L.at(1, 0)), Bits(-0.0));
}

TEST(Cholesky, ReconstructsRandomSpdMatrices) {
    std::mt19937_64 rng(2024);
    for (std::size_t n = 1; n <= 60; n += (n < 10 ? 1 : 5)) {
        SCOPED_TRACE(n);
        const Dense a = SpdDense(rng, n);
        Matrix L;
        ASSERT_TRUE(Cholesky(FromDense(a), &L).ok());
        const Dense l = ToDense(L);
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_GT(l[i][i], 0.0);
            for (std::size_t j = i + 1; j < n; ++j) EXPECT_EQ(l[i][j], 0.0);
        }
        EXPECT_LE(Distance(Multiply(l, Transpose(l)), a), 4.0 * static_cast<double>(n) * kEps * Norm(a));
        // Exact symmetry is required: one element off by one unit fails.
        Dense off = a;
        off[n - 1][0] = std::nextafter(off[n - 1][0], 1e300);
        if (n > 1) {
            EXPECT_EQ(Cholesky(FromDense(off), &L).message(), kNotPositiveDefinite);
        }
    }
}

TEST(Cholesky, RankDeficientAndBadElements) {
    std::mt19937_64 rng(8);
    // B·Bᵀ with B of rank 2 in 6 dimensions: semidefinite, a pivot reaches <= 0.
    const Dense b = RandomDense(rng, 6, 2);
    Dense a = Multiply(b, Transpose(b));
    for (std::size_t i = 0; i < 6; ++i)
        for (std::size_t j = 0; j < i; ++j) a[j][i] = a[i][j];
    Matrix L = Make({{1}});
    EXPECT_EQ(Cholesky(FromDense(a), &L).message(), kNotPositiveDefinite);

    // A NaN pivot does not fail the pivot test; NaN is never symmetric.
    ASSERT_TRUE(Cholesky(Make({{kNaN}}), &L).ok());
    EXPECT_TRUE(std::isnan(L.at(0, 0)));
    EXPECT_EQ(Cholesky(FromDense(Dense(5, std::vector<double>(5, kNaN))), &L).message(), kNotPositiveDefinite);
    ASSERT_TRUE(Cholesky(Make({{kInf}}), &L).ok());
    EXPECT_EQ(L.at(0, 0), kInf);
    Dense withInf = SpdDense(rng, 4);
    withInf[2][2] = kInf;
    EXPECT_TRUE(Cholesky(FromDense(withInf), &L).ok());
    Dense huge = SpdDense(rng, 8), tiny = huge;
    for (std::size_t i = 0; i < 8; ++i)
        for (std::size_t j = 0; j < 8; ++j) {
            huge[i][j] *= 1e300;
            tiny[i][j] *= 1e-300;
        }
    ASSERT_TRUE(Cholesky(FromDense(huge), &L).ok());
    ASSERT_TRUE(Cholesky(FromDense(tiny), &L).ok());
    EXPECT_GT(L.at(7, 7), 0.0);
}

TEST(Cholesky, OutOfMemoryWritesNothing) {
    AllocationGuard guard;
    const Matrix a = Make({{4, 2, 0}, {2, 3, 1}, {0, 1, 5}});
    bool succeeded = false;
    for (long k = 0; k < 20 && !succeeded; ++k) {
        Matrix L = Make({{5}});
        FailAllocationsAfter(k);
        const Status s = Cholesky(a, &L);
        FailAllocationsAfter(-1);
        if (s.ok()) {
            succeeded = true;
            continue;
        }
        EXPECT_EQ(s.code(), Status::OutOfMemory().code());
        ExpectSameBits(L, Make({{5}}));
    }
    EXPECT_TRUE(succeeded);
}

}  // namespace
}  // namespace corvane
