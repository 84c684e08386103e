// SVD: documented cases, the output rule (S cleared, diagonal only, order
// U, S, V), independence of the outputs, the sweep limit, reconstruction on
// random matrices of every shape, LAPACK's singular values, bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "core/allocation.h"
#include "core/row_store.h"
#include "linalg/kernel_codes.h"
#include "linalg/svd.h"
#include "linalg_test_support.h"

namespace corvane {
namespace {

using namespace test;
using Rows = std::vector<std::vector<double>>;

struct SvdResult {
    Status status;
    Matrix U, S, V;
};

SvdResult RunSvd(const Matrix& a) {
    SvdResult r;
    r.status = SVD(a, &r.U, &r.S, &r.V);
    return r;
}

TEST(SVD, OneByOne) {
    SvdResult p = RunSvd(Make({{3}}));
    ASSERT_TRUE(p.status.ok());
    EXPECT_EQ(Contents(p.U), (Rows{{-1}}));
    EXPECT_EQ(Contents(p.S), (Rows{{3}}));
    EXPECT_EQ(Contents(p.V), (Rows{{-1}}));
    SvdResult q = RunSvd(Make({{-3}}));
    ASSERT_TRUE(q.status.ok());
    EXPECT_EQ(Contents(q.U), (Rows{{-1}}));
    EXPECT_EQ(Contents(q.S), (Rows{{3}}));
    EXPECT_EQ(Contents(q.V), (Rows{{1}}));
}

TEST(SVD, DiagonalMatrixIsSortedWithItsColumns) {
    SvdResult r = RunSvd(Make({{3, 0}, {0, 4}}));
    ASSERT_TRUE(r.status.ok());
    EXPECT_EQ(Contents(r.S), (Rows{{4, 0}, {0, 3}}));
    EXPECT_EQ(Contents(r.U), (Rows{{0, -1}, {-1, 0}}));
    EXPECT_EQ(Contents(r.V), (Rows{{0, -1}, {-1, 0}}));

    SvdResult z = RunSvd(Make({{2, 0}, {0, 0}}));
    ASSERT_TRUE(z.status.ok());
    EXPECT_EQ(Contents(z.S), (Rows{{2, 0}, {0, 0}}));
}

TEST(SVD, DocumentedValues) {
    SvdResult r = RunSvd(Make({{1, 2}, {3, 4}}));
    ASSERT_TRUE(r.status.ok());
    EXPECT_NEAR(r.S.at(0, 0), 5.464985704219043, 4e-15);
    EXPECT_NEAR(r.S.at(1, 1), 0.365966190626258, 4e-16);
    const Dense usv = Multiply(Multiply(ToDense(r.U), ToDense(r.S)), Transpose(ToDense(r.V)));
    EXPECT_LE(Distance(usv, Dense{{1, 2}, {3, 4}}), 8 * kEps * 5.5);

    SvdResult w = RunSvd(Make({{1, 2, 3}, {4, 5, 6}}));
    ASSERT_TRUE(w.status.ok());
    ASSERT_EQ(w.U.Rows(), 2);
    ASSERT_EQ(w.U.Cols(), 3);
    ASSERT_EQ(w.S.Rows(), 3);
    ASSERT_EQ(w.V.Rows(), 3);
    EXPECT_NEAR(w.S.at(0, 0), 9.508032000695723, 1e-14);
    EXPECT_NEAR(w.S.at(1, 1), 0.7728696356734838, 1e-15);
    EXPECT_LE(std::fabs(w.S.at(2, 2)), 1e-15);
    EXPECT_LE(std::fabs(w.U.at(0, 2)) + std::fabs(w.U.at(1, 2)), 1e-15);
    EXPECT_LE(Distance(Multiply(Multiply(ToDense(w.U), ToDense(w.S)), Transpose(ToDense(w.V))), Dense{{1, 2, 3}, {4, 5, 6}}),
              1e-14);

    SvdResult c = RunSvd(Make({{1}, {2}, {2}}));
    ASSERT_TRUE(c.status.ok());
    EXPECT_LE(std::fabs(c.S.at(0, 0) - 3.0), 4.5e-16);
    EXPECT_NEAR(c.U.at(0, 0), -1.0 / 3.0, 1e-15);
    EXPECT_NEAR(c.U.at(1, 0), -2.0 / 3.0, 1e-15);
    EXPECT_NEAR(c.U.at(2, 0), -2.0 / 3.0, 1e-15);
    EXPECT_EQ(Contents(c.V), (Rows{{-1}}));
}

TEST(SVD, SIsClearedAndOnlyItsDiagonalWrittenInOrderUSV) {
    std::vector<std::string> log;
    LoggingOutput U("U", &log), S("S", &log), V("V", &log);
    ASSERT_TRUE(S.m.Size(3, 3).ok());
    for (std::int32_t i = 0; i < 3; ++i)
        for (std::int32_t j = 0; j < 3; ++j) S.m.at(i, j) = 7.0;
    ASSERT_TRUE(SVD(Make({{1, 2}, {3, 4}, {5, 6}}), &U, &S, &V).ok());
    EXPECT_EQ(SizeOrder(log), (std::vector<std::string>{"U", "S", "V"}));
    const auto first = std::find(log.begin(), log.end(), "S.Size 2 2");
    ASSERT_NE(first, log.end());
    EXPECT_EQ(std::vector<std::string>(first, first + 4),
              (std::vector<std::string>{"S.Size 2 2", "S.Clear", "S.Put 0 0", "S.Put 1 1"}));
    EXPECT_EQ(S.m.at(0, 1), 0.0);
    EXPECT_EQ(S.m.at(1, 0), 0.0);
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("U.Put", 0) == 0; }), 6);
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("V.Put", 0) == 0; }), 4);
}

// Each output is the same whichever others are requested; shared and self
// outputs hold the last one written.
TEST(SVD, OutputsDoNotDependOnEachOther) {
    std::mt19937_64 rng(55);
    for (auto [m, n] : {std::pair<std::size_t, std::size_t>{6, 6}, {9, 4}, {3, 8}}) {
        const Matrix a = FromDense(RandomDense(rng, m, n));
        SvdResult full = RunSvd(a);
        ASSERT_TRUE(full.status.ok());
        Matrix only;
        ASSERT_TRUE(SVD(a, nullptr, &only, nullptr).ok());
        ExpectSameBits(only, full.S);
        ASSERT_TRUE(SVD(a, &only, nullptr, nullptr).ok());
        ExpectSameBits(only, full.U);
        ASSERT_TRUE(SVD(a, nullptr, nullptr, &only).ok());
        ExpectSameBits(only, full.V);
        Matrix u, v;
        ASSERT_TRUE(SVD(a, &u, nullptr, &v).ok());
        ExpectSameBits(u, full.U);
        ExpectSameBits(v, full.V);
        Matrix shared;
        ASSERT_TRUE(SVD(a, &shared, &shared, &shared).ok());
        ExpectSameBits(shared, full.V);
        Matrix self;
        ASSERT_TRUE(a.Clone(&self).ok());
        ASSERT_TRUE(SVD(self, nullptr, &self, nullptr).ok());
        ExpectSameBits(self, full.S);
    }
    EXPECT_TRUE(SVD(Make({{1, 2}, {3, 4}}), nullptr, nullptr, nullptr).ok());
}

TEST(SVD, FailuresWriteNothing) {
    Matrix U = Make({{1}}), S = Make({{2}}), V = Make({{3}});
    EXPECT_EQ(SVD(Matrix(), &U, &S, &V).message(), kNotSized);
    // NaN never becomes negligible: every value exhausts its sweeps.
    EXPECT_EQ(SVD(FromDense(Dense(4, std::vector<double>(3, kNaN))), &U, &S, &V).message(), kSVDFailed);
    ExpectSameBits(U, Make({{1}}));
    ExpectSameBits(S, Make({{2}}));
    ExpectSameBits(V, Make({{3}}));
}

struct KernelRun {
    int code;
    std::int32_t sweeps;
};

KernelRun RunKernel(const Dense& a, std::int32_t limit) {
    const auto m = static_cast<std::int32_t>(a.size()), n = static_cast<std::int32_t>(a[0].size());
    RowStore<double> work, ut, vt;
    EXPECT_TRUE(work.Allocate(m, n) && ut.Allocate(n, m) && vt.Allocate(n, n));
    for (std::int32_t i = 0; i < m; ++i)
        for (std::int32_t j = 0; j < n; ++j) work[i][j] = a[i][j];
    std::vector<double> w(static_cast<std::size_t>(n)), e(static_cast<std::size_t>(n)), sigma(static_cast<std::size_t>(n));
    KernelRun r{};
    r.code = GolubReinschSVD(work.data(), m, n, w.data(), e.data(), sigma.data(), ut.data(), vt.data(), limit,
                             &r.sweeps);
    return r;
}

// The limit counts sweeps made, not tests: a value needing exactly `limit`
// sweeps converges (it is the 31st test that fails with the limit of 30).
TEST(SVD, SweepLimitAllowsExactlyThatManySweeps) {
    std::mt19937_64 rng(17);
    for (int trial = 0; trial < 5; ++trial) {
        const Dense a = RandomDense(rng, 12, 9);
        const KernelRun free = RunKernel(a, 1000);
        ASSERT_EQ(free.code, kKernelOk);
        ASSERT_GE(free.sweeps, 2);
        EXPECT_EQ(RunKernel(a, free.sweeps).code, kKernelOk);
        const KernelRun tight = RunKernel(a, free.sweeps - 1);
        EXPECT_EQ(tight.code, kKernelNoConvergence);
        EXPECT_EQ(tight.sweeps, free.sweeps - 1);
    }
    const KernelRun nan = RunKernel(Dense(3, std::vector<double>(3, kNaN)), kSvdSweepLimit);
    EXPECT_EQ(nan.code, kKernelNoConvergence);
    EXPECT_EQ(nan.sweeps, 30);
}

TEST(SVD, OrderingIsByDecreasingMagnitudeWithNaNLast) {
    const double w[] = {1.0, kNaN, 3.0, -0.0, kNaN, 3.0, 2.0, kInf};
    std::int32_t order[8];
    OrderByDecreasingMagnitude(w, 8, order);
    EXPECT_EQ(std::vector<std::int32_t>(order, order + 8), (std::vector<std::int32_t>{7, 2, 5, 6, 0, 3, 1, 4}));
}

void ExpectGoodSvd(const Dense& a, const SvdResult& r) {
    const std::size_t m = a.size(), n = a[0].size();
    const Dense u = ToDense(r.U), s = ToDense(r.S), v = ToDense(r.V);
    ASSERT_EQ(u.size(), m);
    ASSERT_EQ(u[0].size(), n);
    const double c = 16.0 * static_cast<double>(std::max(m, n)) * kEps;
    for (std::size_t j = 0; j < n; ++j) {
        EXPECT_GE(s[j][j], 0.0);
        if (j > 0) {
            EXPECT_LE(s[j][j], s[j - 1][j - 1]);
        }
    }
    EXPECT_LE(Distance(Multiply(Multiply(u, s), Transpose(v)), a), c * Norm(a));
    EXPECT_LE(OrthogonalityError(v), c);
    // U's columns are orthonormal where the singular value is not negligible.
    const double cut = 1e-10 * s[0][0];
    std::vector<std::size_t> kept;
    for (std::size_t j = 0; j < n; ++j)
        if (s[j][j] > cut) kept.push_back(j);
    for (std::size_t p : kept)
        for (std::size_t q : kept) {
            double dot = 0.0;
            for (std::size_t i = 0; i < m; ++i) dot += u[i][p] * u[i][q];
            EXPECT_NEAR(dot, p == q ? 1.0 : 0.0, c);
        }
}

TEST(SVD, ReconstructsRandomMatricesOfEveryShape) {
    std::mt19937_64 rng(60);
    int checked = 0;
    for (Kind kind : {Kind::General, Kind::RankDeficient, Kind::ZeroRowAndColumn, Kind::IllConditioned, Kind::Graded})
        for (std::size_t n = 1; n <= 60; n += (n < 6 ? 1 : 11))
            for (std::size_t m : {n, n + 5, std::max<std::size_t>(1, n / 2)}) {
                SCOPED_TRACE(testing::Message() << KindName(kind) << " " << m << "x" << n);
                const Dense a = RandomDense(rng, m, n, kind);
                SvdResult r = RunSvd(FromDense(a));
                ASSERT_TRUE(r.status.ok());
                ExpectGoodSvd(a, r);
                ++checked;
            }
    EXPECT_GT(checked, 100);
}

TEST(SVD, ExtremeMagnitudesAndBadElements) {
    std::mt19937_64 rng(61);
    for (std::size_t n : {1u, 3u, 10u}) {
        const Dense a = RandomDense(rng, n + 2, n);
        SvdResult base = RunSvd(FromDense(a));
        ASSERT_TRUE(base.status.ok());
        // Powers of two scale exactly, as long as the plain squares of the
        // sweeps neither overflow nor underflow.
        for (double scale : {0x1p400, 0x1p-400}) {
            Dense b = a;
            for (auto& row : b)
                for (double& x : row) x *= scale;
            SvdResult r = RunSvd(FromDense(b));
            ASSERT_TRUE(r.status.ok());
            for (std::size_t j = 0; j < n; ++j)
                EXPECT_NEAR(r.S.at(static_cast<std::int32_t>(j), static_cast<std::int32_t>(j)) / scale,
                            base.S.at(static_cast<std::int32_t>(j), static_cast<std::int32_t>(j)), 1e-12);
        }
        // Beyond that the plain square roots overflow or underflow: the
        // result may be poor or fail with 1316, but the call stays safe.
        for (double scale : {0x1p1000, 0x1p-1000, 1e-320}) {
            Dense b = a;
            for (auto& row : b)
                for (double& x : row) x *= scale;
            Matrix S = Make({{5}});
            const Status s = SVD(FromDense(b), nullptr, &S, nullptr);
            EXPECT_TRUE(s.ok() || s.message() == kSVDFailed);
            if (!s.ok()) ExpectSameBits(S, Make({{5}}));
        }
        Dense one = a;
        one[1][0] = kInf;
        Matrix U = Make({{1}}), S, V;
        const Status s = SVD(FromDense(one), &U, &S, &V);
        EXPECT_TRUE(s.ok() || s.message() == kSVDFailed);
        Dense nan(n, std::vector<double>(n + 1, kNaN));
        const Status t = SVD(FromDense(nan), &U, &S, &V);
        EXPECT_TRUE(t.ok() || t.message() == kSVDFailed);
        Dense single = a;
        single[0][0] = kNaN;
        const Status u = SVD(FromDense(single), nullptr, &S, nullptr);
        EXPECT_TRUE(u.ok() || u.message() == kSVDFailed);
    }
}

TEST(SVD, OutOfMemoryWritesNothing) {
    AllocationGuard guard;
    const Matrix a = Make({{1, 2}, {3, 4}, {5, 7}});
    bool succeeded = false;
    for (long k = 0; k < 40 && !succeeded; ++k) {
        Matrix U = Make({{1}}), S = Make({{2}}), V = Make({{3}});
        FailAllocationsAfter(k);
        const Status s = SVD(a, &U, &S, &V);
        FailAllocationsAfter(-1);
        if (s.ok()) {
            succeeded = true;
            continue;
        }
        EXPECT_EQ(s.code(), Status::OutOfMemory().code());
        ExpectSameBits(U, Make({{1}}));
        ExpectSameBits(S, Make({{2}}));
        ExpectSameBits(V, Make({{3}}));
    }
    EXPECT_TRUE(succeeded);
}

#ifdef CORVANE_HAVE_LAPACK
TEST(SVD, SingularValuesAgreeWithLapack) {
    std::mt19937_64 rng(1234);
    for (Kind kind : {Kind::General, Kind::Graded})
        for (int n = 1; n <= 60; n += (n < 6 ? 1 : 7))
            for (int m : {n, n + 7, std::max(1, n - 3)}) {
                SCOPED_TRACE(testing::Message() << KindName(kind) << " " << m << "x" << n);
                const Dense a = RandomDense(rng, static_cast<std::size_t>(m), static_cast<std::size_t>(n), kind);
                std::vector<double> c = ColumnMajor(a);
                const int k = std::min(m, n);
                std::vector<double> s(static_cast<std::size_t>(k));
                int lwork = -1, info = 0, one = 1;
                double query = 0.0, dummy = 0.0;
                dgesvd_("N", "N", &m, &n, c.data(), &m, s.data(), &dummy, &one, &dummy, &one, &query, &lwork, &info);
                lwork = static_cast<int>(query);
                std::vector<double> work(static_cast<std::size_t>(lwork));
                dgesvd_("N", "N", &m, &n, c.data(), &m, s.data(), &dummy, &one, &dummy, &one, work.data(), &lwork, &info);
                ASSERT_EQ(info, 0);
                Matrix S;
                ASSERT_TRUE(SVD(FromDense(a), nullptr, &S, nullptr).ok());
                for (int j = 0; j < k; ++j)
                    EXPECT_LE(std::fabs(S.at(j, j) - s[static_cast<std::size_t>(j)]), 32.0 * std::max(m, n) * kEps * s[0]);
                for (int j = k; j < n; ++j) EXPECT_LE(S.at(j, j), 32.0 * n * kEps * s[0]);
            }
}
#endif

}  // namespace
}  // namespace corvane
