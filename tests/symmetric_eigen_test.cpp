// The symmetric eigen kernels: exact small cases, residuals and
// orthonormality on random matrices, the two paths against each other,
// LAPACK's dsyev as an oracle, non-convergence and non-finite input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "eigen/symmetric_kernels.h"
#include "eigen_test_support.h"
#include "matrix_test_support.h"

namespace corvane {
namespace {

using test::Bits;
using test::Table;

struct SymmetricResult {
    std::vector<double> w;
    Table z{1};
    Table a{1};  // the matrix after the call
    std::int32_t ierr = -1;
};

// Runs the driver on a copy of a; z and the work arrays start as NaN so that
// nothing may depend on their contents.
SymmetricResult Solve(const Table& a, bool vectors) {
    const std::int32_t n = a.n();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    SymmetricResult r;
    r.a = a;
    r.z = Table(n, nan);
    r.w.assign(static_cast<std::size_t>(n), nan);
    std::vector<double> e(static_cast<std::size_t>(n), nan), e2(static_cast<std::size_t>(n), nan);
    EigenSymmetric(n - 1, n - 1, r.a.rows(), r.w.data(), vectors ? 1 : 0, r.z.rows(), e.data(), e2.data(), &r.ierr);
    return r;
}

Table Diagonal(const std::vector<double>& d) {
    Table t(static_cast<std::int32_t>(d.size()));
    for (std::size_t i = 0; i < d.size(); ++i) t(static_cast<std::int32_t>(i), static_cast<std::int32_t>(i)) = d[i];
    return t;
}

TEST(SymmetricEigen, OneByOneNeedsNoIteration) {
    Table a = Diagonal({-2.5});
    for (bool vectors : {false, true}) {
        SymmetricResult r = Solve(a, vectors);
        EXPECT_EQ(r.ierr, 0);
        EXPECT_EQ(Bits(r.w[0]), Bits(-2.5));
        if (vectors) {
            EXPECT_EQ(r.z(0, 0), 1.0);
        }
    }
}

TEST(SymmetricEigen, TwoByTwoGivesUnitVectors) {
    Table a(2);
    a(0, 0) = 2, a(0, 1) = 1, a(1, 0) = 1, a(1, 1) = 2;
    SymmetricResult r = Solve(a, true);
    ASSERT_EQ(r.ierr, 0);
    EXPECT_NEAR(r.w[0], 1.0, 1e-15);
    EXPECT_NEAR(r.w[1], 3.0, 1e-15);
    const double h = 1.0 / std::sqrt(2.0);
    EXPECT_NEAR(std::fabs(r.z(0, 0)), h, 1e-15);
    EXPECT_NEAR(r.z(0, 0), -r.z(1, 0), 1e-15);
    EXPECT_NEAR(r.z(0, 1), r.z(1, 1), 1e-15);
    EXPECT_NEAR(std::fabs(r.z(0, 1)), h, 1e-15);
}

// The selection sort exchanges columns as written: equal eigenvalues do not
// keep their relative order (3 at positions 0 and 2 end as columns 3 and 2).
TEST(SymmetricEigen, DiagonalIsSortedBySelectionWithColumnExchanges) {
    Table a = Diagonal({3, -1, 3, 2});
    SymmetricResult r = Solve(a, true);
    ASSERT_EQ(r.ierr, 0);
    EXPECT_EQ(r.w, (std::vector<double>{-1, 2, 3, 3}));
    const int source[4] = {1, 3, 2, 0};  // original position of each column's unit vector
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) EXPECT_EQ(r.z(i, j), i == source[j] ? 1.0 : 0.0) << i << "," << j;
    SymmetricResult v = Solve(a, false);
    ASSERT_EQ(v.ierr, 0);
    EXPECT_EQ(v.w, r.w);
}

// Negligibility is judged against the running maximum of |w| + |e| over the
// values already found: beside 1e10, the coupling 1e-7 of the trailing block
// is negligible, so its diagonal comes out unchanged on both paths (judged
// against that block alone, it would be split into 1 ± 1e-7).
TEST(SymmetricEigen, NegligibilityIsJudgedAgainstTheRunningMaximum) {
    Table a = Diagonal({1e10, 1.0, 1.0});
    a(2, 1) = a(1, 2) = 1e-7;
    for (bool vectors : {false, true}) {
        SymmetricResult r = Solve(a, vectors);
        ASSERT_EQ(r.ierr, 0);
        EXPECT_EQ(r.w, (std::vector<double>{1.0, 1.0, 1e10})) << vectors;
    }
}

TEST(SymmetricEigen, ZeroMatrixGivesZerosAndIdentity) {
    for (std::int32_t n : {1, 2, 5}) {
        SymmetricResult r = Solve(Table(n), true);
        ASSERT_EQ(r.ierr, 0);
        for (std::int32_t i = 0; i < n; ++i) {
            EXPECT_EQ(r.w[i], 0.0);
            for (std::int32_t j = 0; j < n; ++j) EXPECT_EQ(r.z(i, j), i == j ? 1.0 : 0.0);
        }
        SymmetricResult v = Solve(Table(n), false);
        EXPECT_EQ(v.ierr, 0);
        EXPECT_EQ(v.w, r.w);
    }
}

void ExpectEigenpairsAndOrthonormality(const Table& a, const SymmetricResult& r) {
    const std::int32_t n = a.n();
    const double tol = test::ResidualTolerance(n);
    for (std::int32_t j = 0; j < n; ++j) {
        if (j > 0) {
            EXPECT_LE(r.w[j - 1], r.w[j]) << "ascending";
        }
        std::vector<std::complex<double>> v(static_cast<std::size_t>(n));
        for (std::int32_t i = 0; i < n; ++i) v[i] = r.z(i, j);
        EXPECT_LE(test::RelativeResidual(a, r.w[j], v), tol) << "n=" << n << " j=" << j;
        for (std::int32_t k = 0; k <= j; ++k) {
            double dot = 0.0;
            for (std::int32_t i = 0; i < n; ++i) dot += r.z(i, j) * r.z(i, k);
            EXPECT_NEAR(dot, j == k ? 1.0 : 0.0, tol) << "columns " << j << ", " << k;
        }
    }
}

const std::int32_t kSizes[] = {1, 2, 3, 4, 5, 7, 10, 16, 25, 40, 60};

TEST(SymmetricEigen, RandomMatricesGiveOrthonormalEigenvectorsWithSmallResiduals) {
    std::mt19937_64 rng(20261206);
    for (std::int32_t n : kSizes) {
        for (int rep = 0; rep < 4; ++rep) {
            const double scale = rep == 3 ? 1e150 : (rep == 2 ? 1e-150 : 1.0);
            Table a = test::RandomSymmetric(n, rng, scale);
            SymmetricResult r = Solve(a, true);
            ASSERT_EQ(r.ierr, 0);
            EXPECT_TRUE(r.a.SameBits(a)) << "the vectors path leaves the matrix unchanged";
            ExpectEigenpairsAndOrthonormality(a, r);
            // The values path reduces with other roundings (the reflectors
            // are formed in place in a), so its eigenvalues agree closely,
            // not bit for bit.
            SymmetricResult v = Solve(a, false);
            ASSERT_EQ(v.ierr, 0);
            const double tol = test::ResidualTolerance(n) * test::FrobeniusNorm(a);
            for (std::int32_t j = 0; j < n; ++j) EXPECT_NEAR(v.w[j], r.w[j], tol) << "n=" << n << " j=" << j;
        }
    }
}

// Q·diag(d)·Qᵀ with a random orthogonal Q (a product of reflections).
Table WithEigenvalues(const std::vector<double>& d, std::mt19937_64& rng) {
    const auto n = static_cast<std::int32_t>(d.size());
    Table a = Diagonal(d);
    std::normal_distribution<double> g;
    for (int rep = 0; rep < 3; ++rep) {
        std::vector<double> u(d.size());
        double nn = 0;
        for (double& x : u) {
            x = g(rng);
            nn += x * x;
        }
        for (double& x : u) x /= std::sqrt(nn);
        // a = (I − 2uuᵀ) a (I − 2uuᵀ)
        Table b = a;
        for (std::int32_t i = 0; i < n; ++i)
            for (std::int32_t j = 0; j < n; ++j) {
                double s = 0;
                for (std::int32_t k = 0; k < n; ++k) s += ((k == i) - 2 * u[i] * u[k]) * a(k, j);
                b(i, j) = s;
            }
        for (std::int32_t i = 0; i < n; ++i)
            for (std::int32_t j = 0; j < n; ++j) {
                double s = 0;
                for (std::int32_t k = 0; k < n; ++k) s += b(i, k) * ((k == j) - 2 * u[k] * u[j]);
                a(i, j) = s;
            }
        for (std::int32_t i = 0; i < n; ++i)
            for (std::int32_t j = 0; j < i; ++j) a(j, i) = a(i, j);
    }
    return a;
}

TEST(SymmetricEigen, RepeatedEigenvaluesGiveAnOrthonormalBasis) {
    std::mt19937_64 rng(7);
    for (const std::vector<double>& d :
         {std::vector<double>{1, 1, 1, 2, 2}, std::vector<double>{-2, 2, -2, 2, 0, 0, 5, 5, 5, 5}}) {
        Table a = WithEigenvalues(d, rng);
        SymmetricResult r = Solve(a, true);
        ASSERT_EQ(r.ierr, 0);
        ExpectEigenpairsAndOrthonormality(a, r);
        std::vector<double> sorted = d;
        std::sort(sorted.begin(), sorted.end());
        for (std::size_t j = 0; j < d.size(); ++j) EXPECT_NEAR(r.w[j], sorted[j], 1e-13);
    }
}

TEST(SymmetricEigen, EigenvaluesAgreeWithLapackDsyev) {
#ifdef CORVANE_HAVE_LAPACK
    std::mt19937_64 rng(99);
    for (std::int32_t n : kSizes) {
        for (int rep = 0; rep < 3; ++rep) {
            Table a = test::RandomSymmetric(n, rng, rep == 2 ? 1e3 : 1.0);
            SymmetricResult r = Solve(a, false);
            ASSERT_EQ(r.ierr, 0);
            std::vector<double> col(static_cast<std::size_t>(n) * n), w(static_cast<std::size_t>(n));
            for (std::int32_t i = 0; i < n; ++i)
                for (std::int32_t j = 0; j < n; ++j) col[static_cast<std::size_t>(j) * n + i] = a(i, j);
            int nn = n, lwork = 3 * n + 64, info = 0;
            std::vector<double> work(static_cast<std::size_t>(lwork));
            dsyev_("N", "L", &nn, col.data(), &nn, w.data(), work.data(), &lwork, &info);
            ASSERT_EQ(info, 0);
            const double tol = test::ResidualTolerance(n) * test::FrobeniusNorm(a);
            for (std::int32_t j = 0; j < n; ++j) EXPECT_NEAR(r.w[j], w[j], tol) << "n=" << n << " j=" << j;
        }
    }
#else
    GTEST_SKIP() << "LAPACK is available to native builds only";
#endif
}

// The QL stage on a given tridiagonal: w = [5, 1, 1], e[2] = 2 couples rows 1
// and 2 only, so position 0 converges at once and position 1 needs sweeps.
TEST(SymmetricEigen, ExhaustedIterationLimitReportsTheOneBasedPosition) {
    for (bool vectors : {false, true}) {
        for (std::int32_t limit : {0, 1}) {
            std::vector<double> w{5, 1, 1}, e{0, 0, 2};
            Table z(3);
            std::int32_t ierr = -1;
            if (vectors)
                TridiagonalQLVectors(2, 2, w.data(), e.data(), z.rows(), &ierr, limit);
            else
                TridiagonalQLValues(2, w.data(), e.data(), &ierr, limit);
            if (limit == 0)
                EXPECT_EQ(ierr, 2);
            else
                EXPECT_EQ(ierr, 0) << "one sweep suffices for a 2 × 2 block";
        }
    }
    // Random matrices need several sweeps for their first eigenvalue.
    std::mt19937_64 rng(5);
    Table a = test::RandomSymmetric(12, rng);
    for (bool vectors : {false, true}) {
        Table b = a, z(12);
        std::vector<double> w(12), e(12), e2(12);
        std::int32_t ierr = -1;
        if (vectors) {
            TridiagonalizeVectors(11, 11, b.rows(), w.data(), e.data(), z.rows());
            TridiagonalQLVectors(11, 11, w.data(), e.data(), z.rows(), &ierr, 1);
        } else {
            TridiagonalizeValues(11, 11, b.rows(), w.data(), e.data(), e2.data());
            TridiagonalQLValues(11, w.data(), e.data(), &ierr, 1);
        }
        EXPECT_EQ(ierr, 1);
    }
}

// Non-finite elements: every loop ends, nothing is read or written outside the
// arrays (the sanitizer build checks), and a failure names a valid position.
TEST(SymmetricEigen, NonFiniteInputEndsWithinTheArrays) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::mt19937_64 rng(3);
    for (std::int32_t n : {2, 3, 6, 11}) {
        for (double bad : {nan, inf, -inf}) {
            for (int where = 0; where < 3; ++where) {
                Table a = test::RandomSymmetric(n, rng);
                const std::int32_t i = where == 0 ? 0 : (where == 1 ? n - 1 : n / 2);
                const std::int32_t j = where == 2 ? 0 : i;
                a(i, j) = a(j, i) = bad;
                for (bool vectors : {false, true}) {
                    SymmetricResult r = Solve(a, vectors);
                    EXPECT_GE(r.ierr, 0);
                    EXPECT_LE(r.ierr, n);
                }
            }
        }
    }
}

}  // namespace
}  // namespace corvane
