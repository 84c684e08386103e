// Complex LU factorisation and determinant: the documented small cases, the
// pivot rules that differ from the real operations, bits against a literal
// transcription of the algorithms, reconstruction on random matrices, real
// matrices stored as complex, LAPACK as an oracle, bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "core/allocation.h"
#include "core/buffer.h"
#include "linalg/complex_lu.h"
#include "linalg/lu.h"
#include "complex_linalg_test_support.h"

namespace corvane {
namespace {

using namespace test;

constexpr Complex C(double re, double im = 0.0) { return {re, im}; }

std::vector<std::int32_t> Positions(const Buffer<std::int32_t>& b) { return {b.begin(), b.end()}; }

struct CLUResult {
    Status status;
    CMatrix L, U;
    Buffer<std::int32_t> index;
    std::int32_t sign = 7;
};

CLUResult RunLU(const CMatrix& a) {
    CLUResult r;
    r.status = LU(a, &r.L, &r.U, &r.index, &r.sign);
    return r;
}

Complex Det(const CMatrix& a) {
    Complex d{7.0, 7.0};
    EXPECT_TRUE(Determinant(a, &d).ok());
    return d;
}

// The factorisation written out step by step, on plain vectors: row maxima by
// the modulus, the scale as (1, 0) / (max, 0), weights (|a|·scale) compared by
// their modulus, (1e-20, 0) for a zero pivot, multipliers by the reciprocal.
struct Literal {
    bool singular = false;
    CDense a;
    std::vector<int> perm;
    int sign = 1;
};
Literal LiteralCrout(CDense a) {
    const std::size_t n = a.size();
    Literal r;
    std::vector<Complex> scale(n);
    r.perm.resize(n);
    for (std::size_t i = 0; i < n; ++i) r.perm[i] = static_cast<int>(i);
    for (std::size_t i = 0; i < n; ++i) {
        double big = 0.0;
        for (std::size_t j = 0; j < n; ++j)
            if (Modulus(a[i][j]) > big) big = Modulus(a[i][j]);
        if (big == 0.0) {
            r.singular = true;
            return r;
        }
        scale[i] = C(1.0) / C(big);
    }
    for (std::size_t j = 0; j < n; ++j) {
        for (std::size_t i = 0; i < j; ++i)
            for (std::size_t k = 0; k < i; ++k) a[i][j] -= a[i][k] * a[k][j];
        double best = 0.0;
        std::size_t p = j;
        for (std::size_t i = j; i < n; ++i) {
            for (std::size_t k = 0; k < j; ++k) a[i][j] -= a[i][k] * a[k][j];
            const Complex w = Modulus(a[i][j]) * scale[i];
            if (Modulus(w) > best) {
                best = Modulus(w);
                p = i;
            }
        }
        if (p != j) {
            std::swap(a[p], a[j]);
            r.sign = -r.sign;
            scale[p] = scale[j];
            std::swap(r.perm[p], r.perm[j]);
        }
        if (a[j][j] == C(0.0)) a[j][j] = C(1e-20);
        if (j + 1 < n) {
            const Complex rec = C(1.0) / a[j][j];
            for (std::size_t i = j + 1; i < n; ++i) a[i][j] *= rec;
        }
    }
    r.a = a;
    return r;
}

// The determinant's elimination written out: one-norm pivots, a (0, 0)
// pivot ends it, multipliers by complex division.
Complex LiteralDeterminant(CDense a) {
    const std::size_t n = a.size();
    Complex sign = C(1.0);
    for (std::size_t k = 0; k < n; ++k) {
        double best = 0.0;
        std::size_t p = k;
        for (std::size_t i = k; i < n; ++i) {
            const double m = std::fabs(a[i][k].Real) + std::fabs(a[i][k].Imag);
            if (m > best) {
                best = m;
                p = i;
            }
        }
        if (a[p][k] == C(0.0)) return C(0.0);
        if (p != k) {
            std::swap(a[p], a[k]);
            sign = -sign;
        }
        for (std::size_t i = k + 1; i < n; ++i) {
            const Complex f = a[i][k] / a[k][k];
            for (std::size_t j = k; j < n; ++j) a[i][j] -= f * a[k][j];
        }
    }
    Complex d = C(1.0);
    for (std::size_t i = 0; i < n; ++i) d = d * a[i][i];
    return d * sign;
}

TEST(ComplexLU, OneByOne) {
    CLUResult r = RunLU(MakeC({{C(-2.5, 4)}}));
    ASSERT_TRUE(r.status.ok());
    ExpectSameMatrix(r.L, MakeC({{C(1)}}));
    ExpectSameMatrix(r.U, MakeC({{C(-2.5, 4)}}));
    EXPECT_EQ(Positions(r.index), (std::vector<std::int32_t>{0}));
    EXPECT_EQ(r.sign, 1);
    EXPECT_TRUE(SameBits(Det(MakeC({{C(-2.5, 4)}})), C(-2.5, 4)));

    for (Complex zero : {C(0.0), C(-0.0, -0.0), C(0.0, -0.0)}) {
        CLUResult z = RunLU(MakeC({{zero}}));
        EXPECT_EQ(z.status.message(), kSingular);
        EXPECT_FALSE(z.L.sized());
        EXPECT_EQ(z.sign, 7);
        EXPECT_TRUE(SameBits(Det(MakeC({{zero}})), C(0.0)));
    }
}

TEST(ComplexLU, ExchangeMatrix) {
    const CMatrix a = MakeC({{C(0), C(1)}, {C(1), C(0)}});
    CLUResult r = RunLU(a);
    ASSERT_TRUE(r.status.ok());
    ExpectSameMatrix(r.L, MakeC({{C(1), C(0)}, {C(0), C(1)}}));
    ExpectSameMatrix(r.U, MakeC({{C(1), C(0)}, {C(0), C(1)}}));
    EXPECT_EQ(Positions(r.index), (std::vector<std::int32_t>{1, 0}));
    EXPECT_EQ(r.sign, -1);
    EXPECT_EQ(Det(a).Real, -1.0);
    EXPECT_EQ(Det(a).Imag, 0.0);
}

TEST(ComplexLU, ZeroPivotBecomesTinyAndDeterminantIsExactlyZero) {
    const CMatrix a = MakeC({{C(1), C(2)}, {C(2), C(4)}});
    CLUResult r = RunLU(a);
    ASSERT_TRUE(r.status.ok());
    EXPECT_EQ(Positions(r.index), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(r.sign, 1);
    EXPECT_TRUE(SameBits(r.U.at(1, 1), C(1e-20)));
    EXPECT_TRUE(SameBits(r.U.at(1, 0), C(0.0)));
    EXPECT_TRUE(SameBits(r.L.at(0, 1), C(0.0)));
    EXPECT_TRUE(SameBits(Det(a), C(0.0)));
}

TEST(ComplexLU, DeterminantOfITimesIdentity) {
    const Complex d = Det(MakeC({{C(0, 1), C(0)}, {C(0), C(0, 1)}}));
    EXPECT_EQ(d.Real, -1.0);
    EXPECT_EQ(d.Imag, 0.0);
}

// Determinant pivots on the one-norm (6 against 5): row 0 stays; LU weighs by
// the modulus (4.2426… against 5, both rows scaled by 1/10): rows exchange.
TEST(ComplexLU, DeterminantAndLUPickDifferentPivots) {
    const CMatrix a = MakeC({{C(3, 3), C(10)}, {C(5), C(10)}});
    CLUResult r = RunLU(a);
    ASSERT_TRUE(r.status.ok());
    EXPECT_EQ(r.sign, -1);
    EXPECT_EQ(Positions(r.index), (std::vector<std::int32_t>{1, 0}));
    EXPECT_TRUE(SameBits(r.U.at(0, 0), C(5)));
    EXPECT_TRUE(SameBits(r.U.at(0, 1), C(10)));
    EXPECT_TRUE(SameBits(r.L.at(1, 0), C(3, 3) * (C(1) / C(5))));

    // Without the exchange: a00 · (a11 − (a10 / a00)·a01).
    const Complex f = C(5) / C(3, 3);
    const Complex kept = (C(1) * C(3, 3)) * (C(10) - f * C(10));
    const Complex d = Det(a);
    EXPECT_TRUE(SameBits(d, kept * C(1))) << d;
    EXPECT_NEAR(d.Real, -20.0, 1e-13);
    EXPECT_NEAR(d.Imag, 30.0, 1e-13);
}

// With the modulus the determinant would exchange here (5 > 4.47…); with the
// one-norm (6 > 5) it does not, and the two choices give different bits.
TEST(ComplexLU, DeterminantPivotIsTheOneNormNotTheModulus) {
    const CMatrix a = MakeC({{C(2, 4), C(1, 3)}, {C(5), C(0.7, 0.1)}});
    const Complex kept = (C(1) * C(2, 4)) * (C(0.7, 0.1) - (C(5) / C(2, 4)) * C(1, 3));
    const Complex swapped = ((C(1) * C(5)) * (C(1, 3) - (C(2, 4) / C(5)) * C(0.7, 0.1))) * C(-1, -0.0);
    ASSERT_FALSE(SameBits(kept, swapped));
    EXPECT_TRUE(SameBits(Det(a), kept)) << Det(a);
}

TEST(ComplexLU, BitsFollowTheStepsOnRandomMatrices) {
    std::mt19937_64 rng(6001);
    for (int trial = 0; trial < 200; ++trial) {
        const std::size_t n = 1 + static_cast<std::size_t>(trial % 12);
        CDense d = RandomCDense(rng, n, n);
        if (trial % 5 == 1) d[n / 2][n / 3] = C(0.0);
        if (trial % 7 == 2 && n > 2) d[1] = d[0];  // exactly singular
        if (trial % 11 == 3) for (auto& row : d) row[0] = C(row[0].Real * 1e-200, row[0].Imag * 1e-200);
        SCOPED_TRACE(trial);
        const CMatrix a = FromCDense(d);
        CLUResult r = RunLU(a);
        const Literal lit = LiteralCrout(d);
        ASSERT_EQ(r.status.ok(), !lit.singular);
        if (!lit.singular) {
            EXPECT_EQ(r.sign, lit.sign);
            for (std::size_t i = 0; i < n; ++i) {
                EXPECT_EQ(r.index[lit.perm[i]], static_cast<std::int32_t>(i));
                for (std::size_t j = 0; j < n; ++j) {
                    const Complex want = lit.a[i][j];
                    const auto ii = static_cast<std::int32_t>(i), jj = static_cast<std::int32_t>(j);
                    ASSERT_TRUE(SameBits(i > j ? r.L.at(ii, jj) : r.U.at(ii, jj), want)) << i << "," << j;
                }
            }
        }
        EXPECT_TRUE(SameBits(Det(a), LiteralDeterminant(d)));
    }
}

TEST(ComplexLU, ReconstructsPermutedMatrix) {
    std::mt19937_64 rng(6002);
    for (int trial = 0; trial < 60; ++trial) {
        const std::size_t n = 1 + static_cast<std::size_t>(trial % 30);
        SCOPED_TRACE(n);
        const CDense d = RandomCDense(rng, n, n);
        CLUResult r = RunLU(FromCDense(d));
        ASSERT_TRUE(r.status.ok());
        CDense pa(n);
        for (std::size_t i = 0; i < n; ++i) pa[static_cast<std::size_t>(r.index[i])] = d[i];
        const CDense lu = CMultiply(ToCDense(r.L), ToCDense(r.U));
        EXPECT_LE(CDistance(pa, lu), 64.0 * static_cast<double>(n) * kEps * CNorm(d));
        for (std::int32_t i = 0; i < r.L.Rows(); ++i) {
            EXPECT_TRUE(SameBits(r.L.at(i, i), C(1.0)));
            for (std::int32_t j = i + 1; j < r.L.Cols(); ++j) {
                EXPECT_TRUE(SameBits(r.L.at(i, j), C(0.0)));
                EXPECT_TRUE(SameBits(r.U.at(j, i), C(0.0)));
            }
        }
        // The sign is that of the permutation.
        std::vector<std::int32_t> p = Positions(r.index);
        int parity = 1;
        for (std::size_t i = 0; i < n; ++i)
            while (p[i] != static_cast<std::int32_t>(i)) {
                std::swap(p[i], p[static_cast<std::size_t>(p[i])]);
                parity = -parity;
            }
        EXPECT_EQ(r.sign, parity);
    }
}

TEST(ComplexLU, RealMatrixStoredAsComplexGivesTheRealResults) {
    std::mt19937_64 rng(6003);
    for (int trial = 0; trial < 40; ++trial) {
        const std::size_t n = 1 + static_cast<std::size_t>(trial % 15);
        SCOPED_TRACE(n);
        const Matrix a = FromDense(DominantDense(rng, n));
        Matrix L, U;
        Buffer<std::int32_t> index;
        std::int32_t sign = 0;
        ASSERT_TRUE(LU(a, &L, &U, &index, &sign).ok());
        CLUResult r = RunLU(RealAsComplex(a));
        ASSERT_TRUE(r.status.ok());
        EXPECT_EQ(Positions(r.index), Positions(index));
        EXPECT_EQ(r.sign, sign);
        for (std::int32_t i = 0; i < a.Rows(); ++i)
            for (std::int32_t j = 0; j < a.Cols(); ++j) {
                EXPECT_NEAR(r.L.at(i, j).Real, L.at(i, j), 1e-14 * static_cast<double>(n));
                EXPECT_NEAR(r.U.at(i, j).Real, U.at(i, j), 1e-14 * static_cast<double>(n) * std::fabs(U.at(i, j)) + 1e-300);
                EXPECT_EQ(r.L.at(i, j).Imag, 0.0);
                EXPECT_EQ(r.U.at(i, j).Imag, 0.0);
            }
        double det = 0.0;
        ASSERT_TRUE(Determinant(a, &det).ok());
        const Complex cdet = Det(RealAsComplex(a));
        EXPECT_NEAR(cdet.Real, det, 1e-13 * static_cast<double>(n) * std::fabs(det));
        EXPECT_EQ(cdet.Imag, 0.0);
    }
}

TEST(ComplexLU, OutputRuleAndShapeFailures) {
    const CMatrix a = MakeC({{C(1, 1), C(2)}, {C(3), C(4, -1)}});
    // Only the permutation wanted; outputs of another size are resized.
    Buffer<std::int32_t> index;
    std::int32_t sign = 5;
    ASSERT_TRUE(LU(a, nullptr, nullptr, &index, &sign).ok());
    EXPECT_EQ(index.size(), 2);
    EXPECT_NE(sign, 5);
    CMatrix big = MakeC({{C(9), C(9)}, {C(9), C(9)}, {C(9), C(9)}});
    ASSERT_TRUE(LU(a, nullptr, &big, nullptr, nullptr).ok());
    EXPECT_EQ(big.Rows(), 2);
    EXPECT_TRUE(SameBits(big.at(1, 0), C(0.0)));
    // The matrix itself as L: it becomes its own L factor.
    CMatrix self = Copy(a);
    CLUResult r = RunLU(a);
    ASSERT_TRUE(LU(self, &self, nullptr, nullptr, nullptr).ok());
    ExpectSameMatrix(self, r.L);

    for (int shape = 0; shape < 2; ++shape) {
        const CMatrix bad = shape == 0 ? MakeC({{C(1), C(2), C(3)}, {C(4), C(5), C(6)}}) : CMatrix{};
        CMatrix L = MakeC({{C(8)}});
        Complex d = C(3, 3);
        const int want = bad.sized() ? kNotSquare : kNotSized;
        EXPECT_EQ(LU(bad, &L, nullptr, nullptr, nullptr).message(), want);
        EXPECT_EQ(Determinant(bad, &d).message(), want);
        ExpectSameMatrix(L, MakeC({{C(8)}}));
        EXPECT_TRUE(SameBits(d, C(3, 3)));
    }
    // A row without a nonzero element: nothing written.
    CMatrix L = MakeC({{C(8)}});
    Buffer<std::int32_t> untouched;
    std::int32_t s = 4;
    EXPECT_EQ(LU(MakeC({{C(1), C(2)}, {C(0, -0.0), C(-0.0)}}), &L, &L, &untouched, &s).message(), kSingular);
    ExpectSameMatrix(L, MakeC({{C(8)}}));
    EXPECT_EQ(untouched.size(), 0);
    EXPECT_EQ(s, 4);
    EXPECT_EQ(Determinant(a, nullptr).code(), Status::NullPointer().code());
}

TEST(ComplexLU, NotANumberAndInfinityFinish) {
    const double nan = kNaN, inf = kInf;
    const std::vector<CDense> cases = {
        {{C(nan, nan), C(1)}, {C(2), C(nan)}},
        {{C(nan, nan), C(nan, nan)}, {C(nan, nan), C(nan, nan)}},
        {{C(inf, inf), C(1)}, {C(2), C(-inf, 3)}},
        {{C(inf), C(inf)}, {C(inf), C(inf)}},
        {{C(1e308, 1e308), C(1e-308)}, {C(-1e308), C(1e308, -1e308)}},
    };
    for (const CDense& d : cases) {
        const CMatrix a = FromCDense(d);
        CLUResult r = RunLU(a);
        if (r.status.ok()) EXPECT_EQ(r.index.size(), 2);
        else EXPECT_EQ(r.status.message(), kSingular);
        Complex det;
        EXPECT_TRUE(Determinant(a, &det).ok());
    }
}

TEST(ComplexLU, OutOfMemoryAtEveryAllocationWritesNothing) {
    AllocationGuard guard;
    const CMatrix a = MakeC({{C(1, 1), C(2), C(0)}, {C(3), C(1, -1), C(4)}, {C(0), C(5), C(6, 2)}});
    bool succeeded = false;
    for (long k = 0; k < 40 && !succeeded; ++k) {
        CMatrix L = MakeC({{C(5)}}), U = MakeC({{C(6)}});
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
        ExpectSameMatrix(L, MakeC({{C(5)}}));
        ExpectSameMatrix(U, MakeC({{C(6)}}));
        EXPECT_EQ(index.size(), 0);
        EXPECT_EQ(sign, 9);
    }
    EXPECT_TRUE(succeeded);
    Complex det = C(3, 3);
    FailAllocationsAfter(0);
    EXPECT_EQ(Determinant(a, &det).code(), Status::OutOfMemory().code());
    FailAllocationsAfter(-1);
    EXPECT_TRUE(SameBits(det, C(3, 3)));
}

#ifdef CORVANE_HAVE_LAPACK
TEST(ComplexLU, DeterminantAgreesWithLapack) {
    std::mt19937_64 rng(6004);
    for (int n = 1; n <= 40; n += (n < 8 ? 1 : 8)) {
        SCOPED_TRACE(n);
        const CDense a = RandomCDense(rng, static_cast<std::size_t>(n), static_cast<std::size_t>(n));
        std::vector<Complex> c = CColumnMajor(a);
        std::vector<int> ipiv(static_cast<std::size_t>(n));
        int info = 0;
        zgetrf_(&n, &n, c.data(), &n, ipiv.data(), &info);
        ASSERT_EQ(info, 0);
        // The product of the pivots, scaled as it goes so that no part overflows.
        Complex ref = C(1.0);
        for (int i = 0; i < n; ++i) {
            ref = ref * c[static_cast<std::size_t>(i * n + i)];
            if (ipiv[static_cast<std::size_t>(i)] != i + 1) ref = -ref;
        }
        const Complex d = Det(FromCDense(a));
        const double tol = 1e-12 * static_cast<double>(n) * Modulus(ref);
        EXPECT_NEAR(d.Real, ref.Real, tol);
        EXPECT_NEAR(d.Imag, ref.Imag, tol);
    }
}
#endif

}  // namespace
}  // namespace corvane
