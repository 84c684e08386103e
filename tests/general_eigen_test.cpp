// The general real eigen kernels: exact small cases, residuals of every
// eigenpair (real and complex) on random, triangular, defective and zero
// matrices, the normalisation rule, values path against vectors path, LAPACK's
// dgeev as an oracle, the iteration budget and non-finite input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <vector>

#include "eigen/general_kernels.h"
#include "eigen_test_support.h"
#include "matrix_test_support.h"

namespace corvane {
namespace {

using test::Bits;
using test::Table;
using cd = std::complex<double>;

struct GeneralResult {
    std::vector<double> wr, wi;
    Table z{1};
    std::int32_t ierr = -1;
};

// Runs the driver on a copy of a; outputs and work arrays start as NaN (wr, wi
// as zero, as the callers clear them) so that nothing may depend on them.
GeneralResult Solve(const Table& a, bool vectors) {
    const std::int32_t n = a.n();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    GeneralResult r;
    Table work = a;
    r.z = Table(n, nan);
    r.wr.assign(static_cast<std::size_t>(n), 0.0);
    r.wi.assign(static_cast<std::size_t>(n), 0.0);
    std::vector<std::int32_t> iv(static_cast<std::size_t>(n), -7);
    std::vector<double> fv(static_cast<std::size_t>(n), nan);
    EigenGeneral(n - 1, n - 1, work.rows(), r.wr.data(), r.wi.data(), vectors ? 1 : 0, r.z.rows(), iv.data(),
                 fv.data(), &r.ierr);
    return r;
}

// Checks the layout of pairs, the residual of every eigenpair and the
// normalisation (largest component or part magnitude 1).
void ExpectEigenpairs(const Table& a, const GeneralResult& r, double tol) {
    const std::int32_t n = a.n();
    std::int32_t j = 0;
    while (j < n) {
        std::vector<cd> v(static_cast<std::size_t>(n));
        double largest = 0.0;
        if (r.wi[j] != 0.0) {
            ASSERT_LT(j + 1, n) << "a pair needs two positions";
            EXPECT_GT(r.wi[j], 0.0);
            EXPECT_EQ(r.wi[j + 1], -r.wi[j]);
            EXPECT_EQ(r.wr[j + 1], r.wr[j]);
            for (std::int32_t i = 0; i < n; ++i) {
                v[i] = cd(r.z(i, j), r.z(i, j + 1));
                largest = std::max({largest, std::fabs(r.z(i, j)), std::fabs(r.z(i, j + 1))});
            }
            EXPECT_LE(test::RelativeResidual(a, cd(r.wr[j], r.wi[j]), v), tol) << "pair at " << j;
            // The conjugate pair with the conjugate vector.
            for (cd& x : v) x = std::conj(x);
            EXPECT_LE(test::RelativeResidual(a, cd(r.wr[j + 1], r.wi[j + 1]), v), tol) << "pair at " << j;
            j += 2;
        } else {
            for (std::int32_t i = 0; i < n; ++i) {
                v[i] = r.z(i, j);
                largest = std::max(largest, std::fabs(r.z(i, j)));
            }
            EXPECT_LE(test::RelativeResidual(a, r.wr[j], v), tol) << "real at " << j;
            j += 1;
        }
        EXPECT_NEAR(largest, 1.0, 4 * std::numeric_limits<double>::epsilon()) << "normalised at " << j;
    }
}

void ExpectSameValues(const GeneralResult& v, const GeneralResult& r) {
    ASSERT_EQ(v.wr.size(), r.wr.size());
    for (std::size_t j = 0; j < r.wr.size(); ++j) {
        EXPECT_EQ(Bits(v.wr[j]), Bits(r.wr[j])) << j;
        EXPECT_EQ(Bits(v.wi[j]), Bits(r.wi[j])) << j;
    }
}

TEST(GeneralEigen, OneByOne) {
    Table a(1, -3.25);
    GeneralResult r = Solve(a, true);
    EXPECT_EQ(r.ierr, 0);
    EXPECT_EQ(r.wr[0], -3.25);
    EXPECT_EQ(Bits(r.wi[0]), Bits(0.0));
    EXPECT_EQ(r.z(0, 0), 1.0);
    ExpectSameValues(Solve(a, false), r);
}

TEST(GeneralEigen, RotationGivesAConjugatePairWithExactVectors) {
    Table a(2);
    a(0, 1) = -1, a(1, 0) = 1;
    GeneralResult r = Solve(a, true);
    ASSERT_EQ(r.ierr, 0);
    EXPECT_EQ(r.wr, (std::vector<double>{0, 0}));
    EXPECT_EQ(r.wi, (std::vector<double>{1, -1}));
    EXPECT_EQ(Bits(r.z(0, 0)), Bits(-1.0));
    EXPECT_EQ(Bits(r.z(0, 1)), Bits(0.0));  // positive zero: its negation is the -0 of the conjugate
    EXPECT_EQ(Bits(r.z(1, 0)), Bits(0.0));
    EXPECT_EQ(Bits(r.z(1, 1)), Bits(1.0));
    ExpectSameValues(Solve(a, false), r);
}

TEST(GeneralEigen, DiagonalAndTriangularKeepDiagonalOrder) {
    Table d(2);
    d(0, 0) = 2, d(1, 1) = 3;
    GeneralResult r = Solve(d, true);
    ASSERT_EQ(r.ierr, 0);
    EXPECT_EQ(r.wr, (std::vector<double>{2, 3}));
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) EXPECT_EQ(r.z(i, j), i == j ? 1.0 : 0.0);

    std::mt19937_64 rng(11);
    for (std::int32_t n : {3, 8, 20, 60}) {
        Table a = test::RandomTable(n, rng);
        for (std::int32_t i = 0; i < n; ++i)
            for (std::int32_t j = 0; j < i; ++j) a(i, j) = 0.0;
        GeneralResult t = Solve(a, true);
        ASSERT_EQ(t.ierr, 0);
        for (std::int32_t j = 0; j < n; ++j) {
            EXPECT_EQ(Bits(t.wr[j]), Bits(a(j, j))) << "no sweep, diagonal order";
            EXPECT_EQ(t.wi[j], 0.0);
        }
        ExpectEigenpairs(a, t, test::ResidualTolerance(n));
        ExpectSameValues(Solve(a, false), t);
    }
}

TEST(GeneralEigen, ZeroMatrixGivesZerosAndIdentity) {
    for (std::int32_t n : {1, 2, 3, 7}) {
        GeneralResult r = Solve(Table(n), true);
        ASSERT_EQ(r.ierr, 0);
        for (std::int32_t i = 0; i < n; ++i) {
            EXPECT_EQ(r.wr[i], 0.0);
            EXPECT_EQ(r.wi[i], 0.0);
            for (std::int32_t j = 0; j < n; ++j) EXPECT_EQ(r.z(i, j), i == j ? 1.0 : 0.0);
        }
        ExpectSameValues(Solve(Table(n), false), r);
    }
}

TEST(GeneralEigen, RandomMatricesGiveNormalisedEigenpairsWithSmallResiduals) {
    std::mt19937_64 rng(424242);
    int pairs = 0;
    for (std::int32_t n : {2, 3, 4, 5, 6, 7, 9, 12, 16, 23, 31, 45, 60}) {
        for (int rep = 0; rep < 4; ++rep) {
            const double scale = rep == 3 ? 1e120 : (rep == 2 ? 1e-120 : 1.0);
            Table a = test::RandomTable(n, rng, scale);
            GeneralResult r = Solve(a, true);
            ASSERT_EQ(r.ierr, 0) << "n=" << n;
            ExpectEigenpairs(a, r, test::ResidualTolerance(n));
            for (double x : r.wi) pairs += x > 0.0;
            // The values path runs the same iteration on the active block only.
            ExpectSameValues(Solve(a, false), r);
        }
    }
    EXPECT_GT(pairs, 50) << "complex pairs were exercised";
}

// Jordan blocks: the back-substitution perturbs the zero divisors, the
// columns of a repeated eigenvalue come out nearly parallel but each is still
// an eigenvector.
TEST(GeneralEigen, DefectiveMatricesStillGiveEigenvectors) {
    for (std::int32_t n : {2, 3, 5, 10}) {
        Table j(n);
        for (std::int32_t i = 0; i < n; ++i) {
            j(i, i) = 2.0;
            if (i + 1 < n) j(i, i + 1) = 1.0;
        }
        GeneralResult r = Solve(j, true);
        ASSERT_EQ(r.ierr, 0);
        ExpectEigenpairs(j, r, test::ResidualTolerance(n));
    }
    // Two equal rotation blocks: the repeated pair ±i makes the complex
    // back-substitution's divisor exactly zero, so it is perturbed too.
    Table rr(4);
    rr(0, 1) = rr(2, 3) = -1.0, rr(1, 0) = rr(3, 2) = 1.0;
    GeneralResult pr = Solve(rr, true);
    ASSERT_EQ(pr.ierr, 0);
    EXPECT_EQ(pr.wi, (std::vector<double>{1, -1, 1, -1}));
    ExpectEigenpairs(rr, pr, test::ResidualTolerance(4));
    // A dense matrix similar to a Jordan block: the eigenvalue is only found to
    // about the square root of the precision, and so are the residuals.
    std::mt19937_64 rng(8);
    for (std::int32_t n : {3, 6}) {
        Table s = test::RandomTable(n, rng);
        for (std::int32_t i = 0; i < n; ++i) s(i, i) += 3.0;  // well conditioned
        // a = S·J·S⁻¹ with J the Jordan block of 1 (ones on the superdiagonal).
        Table sj(n);
        for (std::int32_t i = 0; i < n; ++i)
            for (std::int32_t k = 0; k < n; ++k) sj(i, k) = s(i, k) + (k > 0 ? s(i, k - 1) : 0.0);
        // S⁻¹ by Gauss-Jordan elimination with partial pivoting.
        Table inv(n), m = s;
        for (std::int32_t i = 0; i < n; ++i) inv(i, i) = 1.0;
        for (std::int32_t c = 0; c < n; ++c) {
            std::int32_t p = c;
            for (std::int32_t i = c + 1; i < n; ++i)
                if (std::fabs(m(i, c)) > std::fabs(m(p, c))) p = i;
            for (std::int32_t k = 0; k < n; ++k) {
                std::swap(m(c, k), m(p, k));
                std::swap(inv(c, k), inv(p, k));
            }
            const double d = m(c, c);
            for (std::int32_t k = 0; k < n; ++k) {
                m(c, k) /= d;
                inv(c, k) /= d;
            }
            for (std::int32_t i = 0; i < n; ++i) {
                if (i == c) continue;
                const double f = m(i, c);
                for (std::int32_t k = 0; k < n; ++k) {
                    m(i, k) -= f * m(c, k);
                    inv(i, k) -= f * inv(c, k);
                }
            }
        }
        Table a(n);
        for (std::int32_t i = 0; i < n; ++i)
            for (std::int32_t k = 0; k < n; ++k) {
                double t = 0;
                for (std::int32_t q = 0; q < n; ++q) t += sj(i, q) * inv(q, k);
                a(i, k) = t;
            }
        GeneralResult r = Solve(a, true);
        ASSERT_EQ(r.ierr, 0);
        ExpectEigenpairs(a, r, 1e-4);
    }
}

TEST(GeneralEigen, EigenvaluesAgreeWithLapackDgeev) {
#ifdef CORVANE_HAVE_LAPACK
    std::mt19937_64 rng(31337);
    for (std::int32_t n : {1, 2, 3, 5, 8, 13, 21, 34, 60}) {
        for (int rep = 0; rep < 3; ++rep) {
            Table a = test::RandomTable(n, rng, rep == 2 ? 1e4 : 1.0);
            GeneralResult r = Solve(a, false);
            ASSERT_EQ(r.ierr, 0);
            std::vector<double> col(static_cast<std::size_t>(n) * n), wr(n), wi(n), dummy(1);
            for (std::int32_t i = 0; i < n; ++i)
                for (std::int32_t j = 0; j < n; ++j) col[static_cast<std::size_t>(j) * n + i] = a(i, j);
            int nn = n, one = 1, lwork = 8 * n + 64, info = 0;
            std::vector<double> work(static_cast<std::size_t>(lwork));
            dgeev_("N", "N", &nn, col.data(), &nn, wr.data(), wi.data(), dummy.data(), &one, dummy.data(), &one,
                   work.data(), &lwork, &info);
            ASSERT_EQ(info, 0);
            // Match each of ours to the nearest unused LAPACK eigenvalue.
            const double tol = 1e-9 * test::FrobeniusNorm(a);
            std::vector<bool> used(static_cast<std::size_t>(n), false);
            for (std::int32_t j = 0; j < n; ++j) {
                std::int32_t best = -1;
                double dist = std::numeric_limits<double>::infinity();
                for (std::int32_t k = 0; k < n; ++k) {
                    const double d = std::abs(cd(r.wr[j], r.wi[j]) - cd(wr[k], wi[k]));
                    if (!used[k] && d < dist) dist = d, best = k;
                }
                ASSERT_GE(best, 0);
                used[best] = true;
                EXPECT_LE(dist, tol) << "n=" << n << " j=" << j;
            }
        }
    }
#else
    GTEST_SKIP() << "LAPACK is available to native builds only";
#endif
}

// The QR stages on the Hessenberg form of a random matrix with a given budget.
struct Staged {
    Table h{1}, z{1};
    std::vector<double> wr, wi;
    std::int32_t ierr = -1;
};
Staged RunQR(const Table& a, bool vectors, std::int64_t budget) {
    const std::int32_t n = a.n(), last = n - 1;
    Staged s;
    s.h = a;
    s.z = Table(n);
    s.wr.assign(static_cast<std::size_t>(n), 0.0);
    s.wi.assign(static_cast<std::size_t>(n), 0.0);
    std::vector<std::int32_t> iv(static_cast<std::size_t>(n), 0);
    HessenbergReduce(last, last, 0, last, s.h.rows(), iv.data());
    if (vectors) {
        HessenbergTransform(last, last, 0, last, s.h.rows(), iv.data(), s.z.rows());
        HessenbergQRVectors(last, last, 0, last, s.h.rows(), s.wr.data(), s.wi.data(), s.z.rows(), &s.ierr, budget);
    } else {
        HessenbergQRValues(last, last, 0, last, s.h.rows(), s.wr.data(), s.wi.data(), &s.ierr, budget);
    }
    return s;
}

// The budget counts QR steps for the whole matrix: the smallest budget that
// lets a matrix converge gives the same bits as the default one, one less
// fails with the position being sought; eigenvalues above it are final.
TEST(GeneralEigen, ExhaustedBudgetReportsThePositionBeingSought) {
    std::mt19937_64 rng(2024);
    for (std::int32_t n : {3, 6, 10}) {
        Table a = test::RandomTable(n, rng);
        for (bool vectors : {false, true}) {
            Staged full = RunQR(a, vectors, kDefaultQRBudget);
            ASSERT_EQ(full.ierr, 0);
            Staged none = RunQR(a, vectors, 0);
            EXPECT_EQ(none.ierr, n - 1) << "a random matrix needs a step for its last eigenvalue";
            std::int64_t need = 1;
            while (RunQR(a, vectors, need).ierr != 0) ++need;
            ASSERT_LE(need, 30 * (n - 1)) << "within the default budget";
            Staged enough = RunQR(a, vectors, need);
            EXPECT_TRUE(enough.z.SameBits(full.z));
            ExpectSameValues({enough.wr, enough.wi, Table(1), 0}, {full.wr, full.wi, Table(1), 0});
            Staged shortOf = RunQR(a, vectors, need - 1);
            ASSERT_GE(shortOf.ierr, 2);
            for (std::int32_t j = shortOf.ierr + 1; j < n; ++j) {
                EXPECT_EQ(Bits(shortOf.wr[j]), Bits(full.wr[j]));
                EXPECT_EQ(Bits(shortOf.wi[j]), Bits(full.wi[j]));
            }
        }
    }
}

// A NaN defeats every convergence test: the iteration runs until the budget
// is spent and the driver reports failure.
TEST(GeneralEigen, NaNMatrixExhaustsTheBudget) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::mt19937_64 rng(6);
    for (std::int32_t n : {3, 4, 9}) {
        Table a = test::RandomTable(n, rng);
        a(n / 2, n / 2) = nan;
        for (bool vectors : {false, true}) {
            GeneralResult r = Solve(a, vectors);
            EXPECT_NE(r.ierr, 0) << "n=" << n;
            EXPECT_GE(r.ierr, 2);
            EXPECT_LE(r.ierr, n - 1);
        }
    }
}

TEST(GeneralEigen, NonFiniteInputEndsWithinTheArrays) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::mt19937_64 rng(13);
    for (std::int32_t n : {1, 2, 3, 5, 8}) {
        for (double bad : {nan, inf, -inf}) {
            for (int where = 0; where < 4; ++where) {
                Table a = test::RandomTable(n, rng);
                const std::int32_t i = where == 0 ? 0 : (where == 1 ? n - 1 : (where == 2 ? n / 2 : n - 1));
                const std::int32_t j = where == 3 ? 0 : i;
                a(i, j) = bad;
                for (bool vectors : {false, true}) {
                    GeneralResult r = Solve(a, vectors);
                    EXPECT_GE(r.ierr, 0);
                    EXPECT_LT(r.ierr, n);
                }
            }
        }
    }
}

// A NaN imaginary part in the last position would start a pair reaching past
// the last column; it is scaled as a single column instead.
TEST(GeneralEigen, NormalisationNeverPairsTheLastColumn) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Table z(3);
    z(0, 0) = 2, z(1, 1) = -4, z(2, 2) = 0.5, z(0, 2) = -0.25;
    std::vector<double> wi{0, 0, nan};
    NormalizeRealEigenvectors(2, 2, z.rows(), wi.data());
    EXPECT_EQ(z(0, 0), 1.0);
    EXPECT_EQ(z(1, 1), -1.0);
    EXPECT_EQ(z(2, 2), 1.0);
    EXPECT_EQ(z(0, 2), -0.5);
    // A pair is scaled by one factor from its largest part; the sign is kept.
    Table p(2);
    p(0, 0) = 0.5, p(0, 1) = -4, p(1, 0) = 2, p(1, 1) = 1;
    std::vector<double> pw{3, -3};
    NormalizeRealEigenvectors(1, 1, p.rows(), pw.data());
    EXPECT_EQ(p(0, 0), 0.125);
    EXPECT_EQ(p(0, 1), -1.0);
    EXPECT_EQ(p(1, 0), 0.5);
    EXPECT_EQ(p(1, 1), 0.25);
}

}  // namespace
}  // namespace corvane
