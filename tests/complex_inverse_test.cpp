// Complex Inverse, SolveGauss and Solve: the documented cases, the one-norm
// pivot and the zero rules, bits against the elimination written out,
// residuals on random matrices, LAPACK as an oracle, bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "core/allocation.h"
#include "linalg/complex_inverse.h"
#include "linalg/inverse.h"
#include "complex_linalg_test_support.h"

namespace corvane {
namespace {

using namespace test;

constexpr Complex C(double re, double im = 0.0) { return {re, im}; }

// Gauss-Jordan on (A | B) written out on plain vectors; false at a (0, 0)
// pivot. skipZero: rows with a zero multiplier are skipped and the pivot
// row's own element is left as it is (the single-column solve).
bool LiteralGaussJordan(CDense a, CDense* b, bool solveForm) {
    const std::size_t n = a.size();
    const std::size_t m = (*b)[0].size();
    for (std::size_t k = 0; k < n; ++k) {
        double best = 0.0;
        std::size_t p = k;
        for (std::size_t i = k; i < n; ++i) {
            const double mag = std::fabs(a[i][k].Real) + std::fabs(a[i][k].Imag);
            if (mag > best) {
                best = mag;
                p = i;
            }
        }
        if (a[p][k] == C(0.0)) return false;
        std::swap(a[p], a[k]);
        std::swap((*b)[p], (*b)[k]);
        const Complex r = C(1.0) / a[k][k];
        for (std::size_t j = solveForm ? k + 1 : k; j < n; ++j) a[k][j] = a[k][j] * r;
        for (std::size_t j = 0; j < m; ++j) (*b)[k][j] = (*b)[k][j] * r;
        for (std::size_t i = 0; i < n; ++i) {
            if (i == k || (solveForm && a[i][k] == C(0.0))) continue;
            const Complex f = a[i][k];
            for (std::size_t j = solveForm ? k + 1 : k; j < n; ++j) a[i][j] = a[i][j] - f * a[k][j];
            for (std::size_t j = 0; j < m; ++j) (*b)[i][j] = (*b)[i][j] - f * (*b)[k][j];
        }
    }
    return true;
}

TEST(ComplexInverse, DocumentedCases) {
    CMatrix x;
    ASSERT_TRUE(Inverse(MakeC({{C(0, 1)}}), &x).ok());
    EXPECT_EQ(x.at(0, 0).Real, 0.0);
    EXPECT_EQ(x.at(0, 0).Imag, -1.0);

    const CMatrix swap = MakeC({{C(0), C(1)}, {C(1), C(0)}});
    ASSERT_TRUE(Inverse(swap, &x).ok());
    for (std::int32_t i = 0; i < 2; ++i)
        for (std::int32_t j = 0; j < 2; ++j) {
            EXPECT_EQ(x.at(i, j).Real, swap.at(i, j).Real);
            EXPECT_EQ(x.at(i, j).Imag, 0.0);
        }

    CMatrix kept = MakeC({{C(4)}});
    const CMatrix singular = MakeC({{C(1), C(2)}, {C(2), C(4)}});
    EXPECT_EQ(Inverse(singular, &kept).message(), kCannotInvert);
    const CMatrix b = MakeC({{C(1)}, {C(2)}});
    EXPECT_EQ(SolveGauss(singular, &b, &kept).message(), kCannotSolve);
    EXPECT_EQ(Solve(singular, &b, &kept).message(), kCannotSolve);
    ExpectSameMatrix(kept, MakeC({{C(4)}}));

    const CMatrix two = MakeC({{C(2)}});
    ASSERT_TRUE(SolveGauss(MakeC({{C(0, 1)}}), &two, &x).ok());
    EXPECT_EQ(x.at(0, 0).Real, 0.0);
    EXPECT_EQ(x.at(0, 0).Imag, -2.0);
}

TEST(ComplexInverse, ShapesAndArguments) {
    const CMatrix a = MakeC({{C(1, 1), C(2)}, {C(0, 3), C(4)}});
    const CMatrix wide = MakeC({{C(1), C(2), C(3)}, {C(4), C(5), C(6, 1)}});
    CMatrix x = MakeC({{C(7)}});
    ASSERT_TRUE(Solve(a, &wide, &x).ok());
    EXPECT_EQ(x.Rows(), 2);
    EXPECT_EQ(x.Cols(), 3);
    x = MakeC({{C(7)}});
    EXPECT_EQ(SolveGauss(a, &wide, &x).message(), kRightHandWrongSize);
    const CMatrix tall = MakeC({{C(1)}, {C(2)}, {C(3)}});
    EXPECT_EQ(SolveGauss(a, &tall, &x).message(), kRightHandWrongSize);
    EXPECT_EQ(Solve(a, &tall, &x).message(), kRightHandWrongSize);
    const CMatrix unsizedRhs;
    EXPECT_EQ(Solve(a, &unsizedRhs, &x).message(), kRightHandWrongSize);
    EXPECT_EQ(Solve(a, nullptr, &x).code(), Status::NullPointer().code());
    EXPECT_EQ(SolveGauss(a, nullptr, &x).code(), Status::NullPointer().code());
    EXPECT_EQ(Inverse(a, nullptr).code(), Status::NullPointer().code());
    for (int shape = 0; shape < 2; ++shape) {
        const CMatrix bad = shape == 0 ? Copy(wide) : CMatrix{};
        const int want = shape == 0 ? kNotSquare : kNotSized;
        EXPECT_EQ(Inverse(bad, &x).message(), want);
        EXPECT_EQ(Solve(bad, &tall, &x).message(), want);
        EXPECT_EQ(SolveGauss(bad, &tall, &x).message(), want);
    }
    ExpectSameMatrix(x, MakeC({{C(7)}}));
}

TEST(ComplexInverse, BitsFollowTheStepsOnRandomMatrices) {
    std::mt19937_64 rng(6101);
    for (int trial = 0; trial < 150; ++trial) {
        const std::size_t n = 1 + static_cast<std::size_t>(trial % 11);
        SCOPED_TRACE(trial);
        CDense d = RandomCDense(rng, n, n);
        // Exact zeros exercise the skipped rows of the single-column solve.
        if (trial % 3 == 0)
            for (std::size_t i = 0; i < n; ++i) d[i][(i + 1) % n] = C(0.0);
        if (trial % 9 == 4 && n > 1) d[n - 1] = d[0];
        const CMatrix a = FromCDense(d);

        CDense inv = CIdentity(n);
        const bool invertible = LiteralGaussJordan(d, &inv, false);
        CMatrix x;
        const Status s = Inverse(a, &x);
        ASSERT_EQ(s.ok(), invertible);
        if (invertible) ExpectSameMatrix(x, FromCDense(inv));

        const CDense rhs = RandomCDense(rng, n, 1);
        CDense sol = rhs;
        const bool solvable = LiteralGaussJordan(d, &sol, true);
        const CMatrix b = FromCDense(rhs);
        ASSERT_EQ(SolveGauss(a, &b, &x).ok(), solvable);
        if (solvable) ExpectSameMatrix(x, FromCDense(sol));
    }
}

TEST(ComplexInverse, ResidualsOnRandomMatrices) {
    std::mt19937_64 rng(6102);
    for (int trial = 0; trial < 40; ++trial) {
        const std::size_t n = 1 + static_cast<std::size_t>(trial % 25);
        SCOPED_TRACE(n);
        const CDense d = RandomCDense(rng, n, n);
        const CMatrix a = FromCDense(d);
        CMatrix x;
        ASSERT_TRUE(Inverse(a, &x).ok());
        const CDense xd = ToCDense(x);
        const double cond = CNorm(d) * CNorm(xd);
        EXPECT_LE(CDistance(CMultiply(d, xd), CIdentity(n)), 64.0 * static_cast<double>(n) * kEps * cond);

        const CDense rhs = RandomCDense(rng, n, 3);
        const CMatrix b = FromCDense(rhs);
        ASSERT_TRUE(Solve(a, &b, &x).ok());
        EXPECT_LE(CDistance(CMultiply(d, ToCDense(x)), rhs), 64.0 * static_cast<double>(n) * kEps * cond * CNorm(rhs));
        const CMatrix b1 = FromCDense(CDense(rhs.size(), std::vector<Complex>{C(0.5, -2)}));
        ASSERT_TRUE(SolveGauss(a, &b1, &x).ok());
        EXPECT_LE(CDistance(CMultiply(d, ToCDense(x)), ToCDense(b1)), 64.0 * static_cast<double>(n) * kEps * cond * CNorm(ToCDense(b1)));
    }
}

TEST(ComplexInverse, RealMatrixStoredAsComplexGivesTheRealResults) {
    std::mt19937_64 rng(6103);
    for (int trial = 0; trial < 30; ++trial) {
        const std::size_t n = 1 + static_cast<std::size_t>(trial % 12);
        SCOPED_TRACE(n);
        const Matrix a = FromDense(DominantDense(rng, n));
        Matrix x;
        ASSERT_TRUE(Inverse(a, &x).ok());
        CMatrix cx;
        ASSERT_TRUE(Inverse(RealAsComplex(a), &cx).ok());
        const Matrix b = FromDense(RandomDense(rng, n, 1));
        Matrix y;
        ASSERT_TRUE(SolveGauss(a, &b, &y).ok());
        CMatrix cy;
        const CMatrix cb = RealAsComplex(b);
        ASSERT_TRUE(SolveGauss(RealAsComplex(a), &cb, &cy).ok());
        for (std::int32_t i = 0; i < a.Rows(); ++i) {
            for (std::int32_t j = 0; j < a.Cols(); ++j) {
                EXPECT_NEAR(cx.at(i, j).Real, x.at(i, j), 1e-13);
                EXPECT_EQ(cx.at(i, j).Imag, 0.0);
            }
            EXPECT_NEAR(cy.at(i, 0).Real, y.at(i, 0), 1e-13);
            EXPECT_EQ(cy.at(i, 0).Imag, 0.0);
        }
    }
}

TEST(ComplexInverse, InputsUnchanged) {
    const CMatrix a = MakeC({{C(1, 1), C(2)}, {C(0, 3), C(4)}});
    const CMatrix b = MakeC({{C(1, -1)}, {C(2)}});
    const CMatrix a0 = Copy(a), b0 = Copy(b);
    CMatrix x;
    ASSERT_TRUE(Inverse(a, &x).ok());
    ASSERT_TRUE(Solve(a, &b, &x).ok());
    ASSERT_TRUE(SolveGauss(a, &b, &x).ok());
    ExpectSameMatrix(a, a0);
    ExpectSameMatrix(b, b0);
}

TEST(ComplexInverse, NotANumberAndInfinityFinish) {
    const double nan = kNaN, inf = kInf;
    const std::vector<CDense> cases = {
        {{C(nan, nan), C(1)}, {C(2), C(nan)}},
        {{C(nan, nan), C(nan, nan)}, {C(nan, nan), C(nan, nan)}},
        {{C(inf, inf), C(1)}, {C(2), C(-inf, 3)}},
        {{C(0), C(inf)}, {C(0), C(1)}},
        {{C(1e308, 1e308), C(1e-308)}, {C(-1e308), C(1e308, -1e308)}},
    };
    for (const CDense& d : cases) {
        const CMatrix a = FromCDense(d);
        const CMatrix b = MakeC({{C(1)}, {C(nan, inf)}});
        CMatrix x;
        const Status inv = Inverse(a, &x);
        EXPECT_TRUE(inv.ok() || inv.message() == kCannotInvert);
        const Status sg = SolveGauss(a, &b, &x);
        EXPECT_TRUE(sg.ok() || sg.message() == kCannotSolve);
        const Status so = Solve(a, &b, &x);
        EXPECT_TRUE(so.ok() || so.message() == kCannotSolve);
    }
}

TEST(ComplexInverse, OutOfMemoryAtEveryAllocationGivesNoResult) {
    AllocationGuard guard;
    const CMatrix a = MakeC({{C(1, 1), C(2), C(0)}, {C(3), C(1, -1), C(4)}, {C(0), C(5), C(6, 2)}});
    const CMatrix b = MakeC({{C(1)}, {C(0, 1)}, {C(2)}});
    for (int op = 0; op < 3; ++op) {
        bool succeeded = false;
        for (long k = 0; k < 40 && !succeeded; ++k) {
            CMatrix x = MakeC({{C(7)}});
            FailAllocationsAfter(k);
            const Status s = op == 0 ? Inverse(a, &x) : op == 1 ? SolveGauss(a, &b, &x) : Solve(a, &b, &x);
            FailAllocationsAfter(-1);
            if (s.ok()) {
                succeeded = true;
                continue;
            }
            EXPECT_EQ(s.code(), Status::OutOfMemory().code()) << op << " " << k;
            ExpectSameMatrix(x, MakeC({{C(7)}}));
        }
        EXPECT_TRUE(succeeded);
    }
}

#ifdef CORVANE_HAVE_LAPACK
TEST(ComplexInverse, AgreesWithLapack) {
    std::mt19937_64 rng(6104);
    for (int n = 1; n <= 50; n += (n < 8 ? 1 : 7)) {
        SCOPED_TRACE(n);
        const CDense a = DominantCDense(rng, static_cast<std::size_t>(n));
        std::vector<Complex> c = CColumnMajor(a);
        std::vector<int> ipiv(static_cast<std::size_t>(n));
        int info = 0, lwork = 64 * n;
        std::vector<Complex> work(static_cast<std::size_t>(lwork));
        zgetrf_(&n, &n, c.data(), &n, ipiv.data(), &info);
        ASSERT_EQ(info, 0);
        zgetri_(&n, c.data(), &n, ipiv.data(), work.data(), &lwork, &info);
        ASSERT_EQ(info, 0);
        CMatrix x;
        ASSERT_TRUE(Inverse(FromCDense(a), &x).ok());
        CDense ref(static_cast<std::size_t>(n), std::vector<Complex>(static_cast<std::size_t>(n)));
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) ref[i][j] = c[static_cast<std::size_t>(j * n + i)];
        EXPECT_LE(CDistance(ToCDense(x), ref), 16.0 * n * kEps * CNorm(ref));
    }
}
#endif

}  // namespace
}  // namespace corvane
