// LU factorisation and determinant: the documented small cases, the output
// rule, reconstruction on random matrices, LAPACK as an oracle, bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "core/allocation.h"
#include "core/buffer.h"
#include "linalg/lu.h"
#include "linalg_test_support.h"

namespace corvane {
namespace {

using namespace test;
using Rows = std::vector<std::vector<double>>;

std::vector<std::int32_t> Positions(const Buffer<std::int32_t>& b) { return {b.begin(), b.end()}; }

struct LUResult {
    Status status;
    Matrix L, U;
    Buffer<std::int32_t> index;
    std::int32_t sign = 7;
};

LUResult RunLU(const Matrix& a) {
    LUResult r;
    r.status = LU(a, &r.L, &r.U, &r.index, &r.sign);
    return r;
}

TEST(LU, OneByOne) {
    LUResult r = RunLU(Make({{-2.5}}));
    ASSERT_TRUE(r.status.ok());
    EXPECT_EQ(Contents(r.L), (Rows{{1}}));
    EXPECT_EQ(Contents(r.U), (Rows{{-2.5}}));
    EXPECT_EQ(Positions(r.index), (std::vector<std::int32_t>{0}));
    EXPECT_EQ(r.sign, 1);
    EXPECT_EQ(RunLU(Make({{0.0}})).status.message(), kSingular);
    EXPECT_EQ(RunLU(Make({{-0.0}})).status.message(), kSingular);
}

TEST(LU, EqualWeightsKeepTheFirstRowAndAZeroPivotBecomesTiny) {
    LUResult r = RunLU(Make({{1, 2}, {2, 4}}));
    ASSERT_TRUE(r.status.ok());
    EXPECT_EQ(Contents(r.L), (Rows{{1, 0}, {2, 1}}));
    EXPECT_EQ(Contents(r.U), (Rows{{1, 2}, {0, 1e-20}}));
    EXPECT_EQ(Positions(r.index), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(r.sign, 1);
}

TEST(LU, PermutationIndexHoldsPositionsNotTheRowOrder) {
    LUResult swap = RunLU(Make({{0, 1}, {1, 0}}));
    ASSERT_TRUE(swap.status.ok());
    EXPECT_EQ(Contents(swap.L), (Rows{{1, 0}, {0, 1}}));
    EXPECT_EQ(Contents(swap.U), (Rows{{1, 0}, {0, 1}}));
    EXPECT_EQ(Positions(swap.index), (std::vector<std::int32_t>{1, 0}));
    EXPECT_EQ(swap.sign, -1);

    LUResult cycle = RunLU(Make({{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}));
    ASSERT_TRUE(cycle.status.ok());
    EXPECT_EQ(Contents(cycle.L), ToDense(FromDense(Identity(3))));
    EXPECT_EQ(Contents(cycle.U), ToDense(FromDense(Identity(3))));
    EXPECT_EQ(Positions(cycle.index), (std::vector<std::int32_t>{2, 0, 1}));
    EXPECT_EQ(cycle.sign, 1);
}

// Plain partial pivoting would keep row 0 (2 > 1); weighed by the row
// maxima, row 1 wins (1/1 against 2/1000).
TEST(LU, PivotsAreWeighedByTheReciprocalOfTheRowMaximum) {
    LUResult r = RunLU(Make({{2, 1000}, {1, 1}}));
    ASSERT_TRUE(r.status.ok());
    EXPECT_EQ(Positions(r.index), (std::vector<std::int32_t>{1, 0}));
    EXPECT_EQ(r.sign, -1);
    EXPECT_EQ(Contents(r.L), (Rows{{1, 0}, {2, 1}}));
    EXPECT_EQ(Contents(r.U), (Rows{{1, 1}, {0, 998}}));
}

// A weight that is not a number never wins the pivot search, nor does a NaN
// count as a row maximum.
TEST(LU, NaNWeightsNeverWin) {
    LUResult r = RunLU(Make({{kNaN, 1}, {1, 1}}));
    ASSERT_TRUE(r.status.ok());
    EXPECT_EQ(Positions(r.index), (std::vector<std::int32_t>{1, 0}));
    EXPECT_EQ(r.sign, -1);
    EXPECT_EQ(r.U.at(0, 0), 1.0);
    double d = 0.0;
    ASSERT_TRUE(Determinant(Make({{kNaN, 1}, {0, 1}}), &d).ok());  // nothing beats 0: column exhausted
    EXPECT_EQ(Bits(d), Bits(0.0));
}

// Multipliers are formed with one reciprocal of the pivot: 3·(1/5) and 3/5
// differ in the last bit.
TEST(LU, MultipliersUseTheReciprocalOfThePivot) {
    ASSERT_NE(Bits(3.0 / 5.0), Bits(3.0 * (1.0 / 5.0)));
    LUResult s = RunLU(Make({{5, 1}, {3, 10}}));
    ASSERT_TRUE(s.status.ok());
    EXPECT_EQ(Positions(s.index), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(Bits(s.L.at(1, 0)), Bits(3.0 * (1.0 / 5.0)));
    EXPECT_EQ(Bits(s.U.at(1, 1)), Bits(10.0 - 3.0 * (1.0 / 5.0) * 1.0));
}

// Crout's sums subtract their products one at a time: 1 − 2⁻⁵⁴ − 2⁻⁵⁴ stays
// 1, where subtracting the total at once would give 1 − 2⁻⁵³.
TEST(LU, ProductsAreSubtractedOneAtATime) {
    const double x = std::ldexp(1.0, -27);
    ASSERT_NE((1.0 - x * x) - x * x, 1.0 - (x * x + x * x));
    LUResult r = RunLU(Make({{1, 0, x}, {0, 1, x}, {x, x, 1}}));
    ASSERT_TRUE(r.status.ok());
    EXPECT_EQ(Positions(r.index), (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(Bits(r.U.at(2, 2)), Bits((1.0 - x * x) - x * x));
}

TEST(LU, ShapeAndSizeChecksComeFirstAndWriteNothing) {
    Matrix unsized;
    Matrix L = Make({{5}}), U = Make({{6}});
    Buffer<std::int32_t> index;
    ASSERT_TRUE(index.Allocate(1));
    index[0] = 42;
    std::int32_t sign = 9;
    EXPECT_EQ(LU(unsized, &L, &U, &index, &sign).message(), kNotSized);
    EXPECT_EQ(LU(Make({{1, 2, 3}, {4, 5, 6}}), &L, &U, &index, &sign).message(), kNotSquare);
    EXPECT_EQ(LU(Make({{1, 2}, {0, 0}}), &L, &U, &index, &sign).message(), kSingular);
    EXPECT_EQ(LU(Make({{1, 2}, {kNaN, kNaN}}), &L, &U, &index, &sign).message(), kSingular);
    ExpectSameBits(L, Make({{5}}));
    ExpectSameBits(U, Make({{6}}));
    EXPECT_EQ(Positions(index), (std::vector<std::int32_t>{42}));
    EXPECT_EQ(sign, 9);
}

TEST(LU, OutputsAreWrittenInOrderAndCompletely) {
    std::vector<std::string> log;
    LoggingOutput L("L", &log), U("U", &log);
    ASSERT_TRUE(L.m.Size(5, 2).ok());
    L.m.at(4, 1) = 8;
    ASSERT_TRUE(LU(Make({{4, 3, 2}, {1, 1, 1}, {2, 5, 7}}), &L, &U, nullptr, nullptr).ok());
    EXPECT_EQ(SizeOrder(log), (std::vector<std::string>{"L", "U"}));
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("L.Put", 0) == 0; }), 9);
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("U.Put", 0) == 0; }), 9);
    EXPECT_EQ(L.m.Rows(), 3);
    EXPECT_EQ(L.m.Cols(), 3);
    EXPECT_EQ(L.m.at(0, 1), 0.0);
}

TEST(LU, OmittedOutputsAndSharedOrSelfOutputs) {
    const Matrix a = Make({{1, 2, 0}, {3, 1, 4}, {0, 5, 6}});
    LUResult full = RunLU(a);
    ASSERT_TRUE(full.status.ok());

    Buffer<std::int32_t> index;
    std::int32_t sign = 0;
    ASSERT_TRUE(LU(a, nullptr, nullptr, &index, &sign).ok());
    EXPECT_EQ(Positions(index), Positions(full.index));
    EXPECT_EQ(sign, full.sign);

    Matrix both;
    ASSERT_TRUE(LU(a, &both, &both, nullptr, nullptr).ok());
    ExpectSameBits(both, full.U);

    Matrix self = Make({{1, 2, 0}, {3, 1, 4}, {0, 5, 6}});
    Matrix U;
    ASSERT_TRUE(LU(self, &self, &U, nullptr, nullptr).ok());
    ExpectSameBits(self, full.L);
    ExpectSameBits(U, full.U);
}

// Row r of A goes to position index[r] of P·A.
Dense Permuted(const Dense& a, const Buffer<std::int32_t>& index) {
    Dense pa(a.size());
    for (std::size_t r = 0; r < a.size(); ++r) pa[static_cast<std::size_t>(index[static_cast<std::int64_t>(r)])] = a[r];
    return pa;
}

int Parity(const Buffer<std::int32_t>& index) {
    std::vector<std::int32_t> p(index.begin(), index.end());
    int sign = 1;
    for (std::size_t i = 0; i < p.size(); ++i)
        while (p[i] != static_cast<std::int32_t>(i)) {
            std::swap(p[i], p[static_cast<std::size_t>(p[i])]);
            sign = -sign;
        }
    return sign;
}

TEST(LU, ReconstructsPermutedMatrixOnRandomInput) {
    std::mt19937_64 rng(20261206);
    int checked = 0;
    for (Kind kind : {Kind::General, Kind::RankDeficient, Kind::IllConditioned, Kind::Graded})
        for (std::size_t n = 1; n <= 60; n += (n < 10 ? 1 : 7)) {
            SCOPED_TRACE(testing::Message() << KindName(kind) << " n=" << n);
            const Dense a = RandomDense(rng, n, n, kind);
            LUResult r = RunLU(FromDense(a));
            ASSERT_TRUE(r.status.ok());
            const Dense l = ToDense(r.L), u = ToDense(r.U);
            for (std::size_t i = 0; i < n; ++i) {
                EXPECT_EQ(l[i][i], 1.0);
                for (std::size_t j = 0; j < n; ++j) {
                    if (j > i) {
                        EXPECT_EQ(l[i][j], 0.0);
                    }
                    if (j < i) {
                        EXPECT_EQ(u[i][j], 0.0);
                    }
                }
            }
            EXPECT_EQ(Parity(r.index), r.sign);
            // Backward error of Gaussian elimination: |P·A − L·U| <= γ·|L|·|U|.
            const double bound = 4.0 * static_cast<double>(n) * kEps * Norm(Multiply(Abs(l), Abs(u)));
            EXPECT_LE(Distance(Permuted(a, r.index), Multiply(l, u)), bound);
            ++checked;
        }
    EXPECT_GT(checked, 50);
}

TEST(LU, ZeroColumnIsFactoredWithTinyPivotsAndZeroRowFails) {
    std::mt19937_64 rng(5);
    Dense a = RandomDense(rng, 6, 6);
    for (auto& row : a) row[2] = 0.0;
    LUResult r = RunLU(FromDense(a));
    ASSERT_TRUE(r.status.ok());
    EXPECT_EQ(r.U.at(2, 2), 1e-20);
    a = RandomDense(rng, 6, 6, Kind::ZeroRowAndColumn);
    EXPECT_EQ(RunLU(FromDense(a)).status.message(), kSingular);
    double det = 5.0;
    ASSERT_TRUE(Determinant(FromDense(a), &det).ok());
    EXPECT_EQ(Bits(det), Bits(0.0));
}

TEST(LU, BadElementsNeverCrash) {
    std::mt19937_64 rng(11);
    for (std::size_t n : {1u, 2u, 5u, 17u}) {
        Dense nan(n, std::vector<double>(n, kNaN));
        EXPECT_EQ(RunLU(FromDense(nan)).status.message(), kSingular);
        Dense one = RandomDense(rng, n, n);
        one[n / 2][n / 3] = kInf;
        LUResult r = RunLU(FromDense(one));
        ASSERT_TRUE(r.status.ok());  // every row has a nonzero element
        Dense huge = RandomDense(rng, n, n);
        for (auto& row : huge)
            for (double& x : row) x *= 1e300;
        ASSERT_TRUE(RunLU(FromDense(huge)).status.ok());
        Dense tiny = RandomDense(rng, n, n);
        for (auto& row : tiny)
            for (double& x : row) x *= 1e-310;
        ASSERT_TRUE(RunLU(FromDense(tiny)).status.ok());
        double det;
        EXPECT_TRUE(Determinant(FromDense(nan), &det).ok());
        EXPECT_EQ(Bits(det), Bits(0.0));  // no pivot ever exceeds 0
        EXPECT_TRUE(Determinant(FromDense(one), &det).ok());
        EXPECT_TRUE(Determinant(FromDense(huge), &det).ok());
        EXPECT_TRUE(Determinant(FromDense(tiny), &det).ok());
    }
}

TEST(LU, OutOfMemoryAtEveryAllocationWritesNothing) {
    AllocationGuard guard;
    const Matrix a = Make({{1, 2, 0}, {3, 1, 4}, {0, 5, 6}});
    bool succeeded = false;
    for (long k = 0; k < 40 && !succeeded; ++k) {
        Matrix L = Make({{5}}), U = Make({{6}});
        Buffer<std::int32_t> index;
        std::int32_t sign = 9;
        FailAllocationsAfter(k);
        const Status s = LU(a, &L, &U, &index, &sign);
        FailAllocationsAfter(-1);
        if (s.ok()) {
            succeeded = true;
            continue;
        }
        EXPECT_EQ(s.code(), Status::OutOfMemory().code());
        ExpectSameBits(L, Make({{5}}));
        ExpectSameBits(U, Make({{6}}));
        EXPECT_EQ(index.size(), 0);
        EXPECT_EQ(sign, 9);
    }
    EXPECT_TRUE(succeeded);
    double det = 3.0;
    FailAllocationsAfter(0);
    EXPECT_EQ(Determinant(a, &det).code(), Status::OutOfMemory().code());
    FailAllocationsAfter(-1);
    EXPECT_EQ(det, 3.0);
}

TEST(Determinant, DocumentedCases) {
    double d = 5.0;
    ASSERT_TRUE(Determinant(Make({{-2.5}}), &d).ok());
    EXPECT_EQ(d, -2.5);
    ASSERT_TRUE(Determinant(Make({{0.0}}), &d).ok());
    EXPECT_EQ(Bits(d), Bits(0.0));
    ASSERT_TRUE(Determinant(Make({{1, 2}, {2, 4}}), &d).ok());
    EXPECT_EQ(Bits(d), Bits(0.0));
    ASSERT_TRUE(Determinant(Make({{0, 1}, {1, 0}}), &d).ok());
    EXPECT_EQ(d, -1.0);
    ASSERT_TRUE(Determinant(Make({{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}), &d).ok());
    EXPECT_EQ(d, 1.0);
    d = 5.0;
    EXPECT_EQ(Determinant(Make({{1, 2, 3}, {4, 5, 6}}), &d).message(), kNotSquare);
    EXPECT_EQ(Determinant(Matrix(), &d).message(), kNotSized);
    EXPECT_EQ(Determinant(Make({{1}}), nullptr).code(), Status::NullPointer().code());
    EXPECT_EQ(d, 5.0);
}

// The determinant pivots on plain magnitude (row 0 here, where LU's weighing
// picks row 1) and forms each multiplier by a true division.
TEST(Determinant, PlainPivotingAndTrueDivisions) {
    const Matrix a = Make({{2, 1000}, {1, 1}});
    double d;
    ASSERT_TRUE(Determinant(a, &d).ok());
    const double f = 1.0 / 2.0;
    EXPECT_EQ(Bits(d), Bits(1.0 * 2.0 * (1.0 - f * 1000.0)));
    const Matrix b = Make({{5, 3}, {3, 5}});
    ASSERT_TRUE(Determinant(b, &d).ok());
    const double g = 3.0 / 5.0;
    ASSERT_NE(Bits(5.0 * (5.0 - g * 3.0)), Bits(5.0 * (5.0 - 3.0 * (1.0 / 5.0) * 3.0)));
    EXPECT_EQ(Bits(d), Bits(1.0 * 5.0 * (5.0 - g * 3.0)));
}

TEST(Determinant, MatrixIsNotChanged) {
    std::mt19937_64 rng(3);
    const Matrix a = FromDense(RandomDense(rng, 7, 7));
    Matrix copy;
    ASSERT_TRUE(a.Clone(&copy).ok());
    double d;
    ASSERT_TRUE(Determinant(a, &d).ok());
    LUResult r = RunLU(a);
    ASSERT_TRUE(r.status.ok());
    ExpectSameBits(a, copy);
}

#ifdef CORVANE_HAVE_LAPACK
TEST(Determinant, AgreesWithLapackFactorisation) {
    std::mt19937_64 rng(77);
    for (int n = 1; n <= 60; n += (n < 8 ? 1 : 5)) {
        SCOPED_TRACE(n);
        const Dense a = DominantDense(rng, static_cast<std::size_t>(n));
        std::vector<double> c = ColumnMajor(a);
        std::vector<int> ipiv(static_cast<std::size_t>(n));
        int info = 0;
        dgetrf_(&n, &n, c.data(), &n, ipiv.data(), &info);
        ASSERT_EQ(info, 0);
        double ref = 1.0;
        for (int i = 0; i < n; ++i) ref *= (ipiv[static_cast<std::size_t>(i)] != i + 1 ? -1.0 : 1.0) * c[static_cast<std::size_t>(i * n + i)];
        double d;
        ASSERT_TRUE(Determinant(FromDense(a), &d).ok());
        EXPECT_LE(std::fabs(d - ref), 8.0 * n * kEps * std::fabs(ref));
        // The LU factors give the same determinant up to rounding.
        LUResult r = RunLU(FromDense(a));
        ASSERT_TRUE(r.status.ok());
        double fromLU = r.sign;
        for (int i = 0; i < n; ++i) fromLU *= r.U.at(i, i);
        EXPECT_LE(std::fabs(fromLU - ref), 8.0 * n * kEps * std::fabs(ref));
    }
}
#endif

}  // namespace
}  // namespace corvane
