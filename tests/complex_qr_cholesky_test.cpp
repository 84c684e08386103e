// Complex QR and Cholesky: the documented cases (a column whose sum of
// squares vanishes, an indefinite symmetric matrix that factors, a Hermitian
// one rejected), bits against the algorithms written out, reconstruction and
// plain-transpose orthogonality on random matrices, real matrices stored as
// complex, the output rule, bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/allocation.h"
#include "linalg/cholesky.h"
#include "linalg/complex_cholesky.h"
#include "linalg/complex_qr.h"
#include "linalg/qr.h"
#include "complex_linalg_test_support.h"

namespace corvane {
namespace {

using namespace test;

constexpr Complex C(double re, double im = 0.0) { return {re, im}; }

// Records the order in which outputs are sized.
class LoggingCOutput final : public MatrixWriter<Complex> {
public:
    LoggingCOutput(std::string name, std::vector<std::string>* log) : name_(std::move(name)), log_(log) {}
    Status Size(std::int32_t rows, std::int32_t cols) override {
        log_->push_back(name_);
        return m.Size(rows, cols);
    }
    Status PutItem(std::int32_t row, std::int32_t col, const Complex& value) override {
        return m.PutItem(row, col, value);
    }
    Status Clear() override { return m.Clear(); }
    CMatrix m;

private:
    std::string name_;
    std::vector<std::string>* log_;
};

// Householder QR written out one column sum at a time: the norm as
// √(norm² + w²), complex division by the norm and by −w(k, k); Q leaves out
// the reflections that were never made.
void LiteralQR(CDense w, CDense* q, CDense* r) {
    const std::size_t m = w.size(), n = w[0].size();
    std::vector<Complex> diag(n);
    for (std::size_t k = 0; k < n; ++k) {
        Complex norm = C(0.0);
        for (std::size_t i = k; i < m; ++i) norm = SquareRoot(norm * norm + w[i][k] * w[i][k]);
        if (norm != C(0.0)) {
            if (w[k][k].Real < 0.0) norm = -norm;
            if (w[k][k] / norm == C(-1.0)) norm = -norm;  // a vector with a zero lead: the other sign
            for (std::size_t i = k; i < m; ++i) w[i][k] = w[i][k] / norm;
            w[k][k].Real = w[k][k].Real + 1.0;
            for (std::size_t j = k + 1; j < n; ++j) {
                Complex s = C(0.0);
                for (std::size_t i = k; i < m; ++i) s = s + w[i][k] * w[i][j];
                s = s / (-w[k][k]);
                for (std::size_t i = k; i < m; ++i) w[i][j] = w[i][j] + s * w[i][k];
            }
        }
        diag[k] = -norm;
    }
    r->assign(n, std::vector<Complex>(n, C(0.0)));
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i; j < n; ++j) (*r)[i][j] = i == j ? diag[i] : w[i][j];
    q->assign(m, std::vector<Complex>(n, C(0.0)));
    for (std::size_t kk = n; kk-- > 0;) {
        for (std::size_t i = 0; i < m; ++i) (*q)[i][kk] = C(0.0);
        (*q)[kk][kk] = C(1.0);
        for (std::size_t j = kk; j < n; ++j) {
            if (w[kk][kk] == C(0.0) || diag[kk] == C(0.0)) continue;
            Complex s = C(0.0);
            for (std::size_t i = kk; i < m; ++i) s = s + w[i][kk] * (*q)[i][j];
            s = s / (-w[kk][kk]);
            for (std::size_t i = kk; i < m; ++i) (*q)[i][j] = (*q)[i][j] + s * w[i][kk];
        }
    }
}

// Cholesky written out: no pivot test, principal square roots; false at an
// asymmetric pair.
bool LiteralCholesky(const CDense& a, CDense* l) {
    const std::size_t n = a.size();
    l->assign(n, std::vector<Complex>(n, C(0.0)));
    for (std::size_t j = 0; j < n; ++j) {
        Complex sq = C(0.0);
        for (std::size_t k = 0; k < j; ++k) sq = sq + (*l)[j][k] * (*l)[j][k];
        (*l)[j][j] = SquareRoot(a[j][j] - sq);
        for (std::size_t i = j + 1; i < n; ++i) {
            if (a[j][i] != a[i][j]) return false;
            Complex s = C(0.0);
            for (std::size_t k = 0; k < j; ++k) s = s + (*l)[i][k] * (*l)[j][k];
            (*l)[i][j] = (a[j][i] - s) / (*l)[j][j];
        }
    }
    return true;
}

TEST(ComplexQR, SingleRealColumn) {
    CMatrix Q, R;
    ASSERT_TRUE(QR(MakeC({{C(3)}, {C(4)}}), &Q, &R).ok());
    ExpectSameMatrix(R, MakeC({{C(-5.0, -0.0)}}));
    EXPECT_NEAR(Q.at(0, 0).Real, -0.6, 1.2e-16);
    EXPECT_NEAR(Q.at(1, 0).Real, -0.8, 1.2e-16);
    EXPECT_EQ(Q.at(0, 0).Imag, 0.0);
    EXPECT_EQ(Q.at(1, 0).Imag, 0.0);
}

TEST(ComplexQR, ColumnWhoseSumOfSquaresIsZeroIsNotReflected) {
    CMatrix Q, R;
    ASSERT_TRUE(QR(MakeC({{C(1)}, {C(0, 1)}}), &Q, &R).ok());
    ExpectSameMatrix(R, MakeC({{C(-0.0, -0.0)}}));
    ExpectSameMatrix(Q, MakeC({{C(1)}, {C(0)}}));
}

// The later columns do not suffer from an earlier one that could not be
// reflected: they are still reproduced and Q keeps Qᵀ·Q = I.
TEST(ComplexQR, UnreflectedColumnLeavesTheOthersIntact) {
    const CDense d = {{C(1), C(2, 1), C(0.5)}, {C(0, 1), C(-1), C(3, -2)}, {C(0), C(0.25, 4), C(1, 1)}};
    CMatrix Q, R;
    ASSERT_TRUE(QR(FromCDense(d), &Q, &R).ok());
    EXPECT_TRUE(SameBits(R.at(0, 0), C(-0.0, -0.0)));
    const CDense q = ToCDense(Q), qr = CMultiply(q, ToCDense(R));
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 1; j < 3; ++j) {
            EXPECT_NEAR(qr[i][j].Real, d[i][j].Real, 1e-14);
            EXPECT_NEAR(qr[i][j].Imag, d[i][j].Imag, 1e-14);
        }
    EXPECT_LE(CDistance(CMultiply(CTranspose(q), q), CIdentity(3)), 1e-14);
}

// A leading element on the negative imaginary axis scales to exactly −1
// under the real-part sign test; the column is still reflected, so the later
// columns come out finite and Q·R reproduces the matrix.
TEST(ComplexQR, LeadOnTheNegativeImaginaryAxisIsReflected) {
    for (const CDense& d : {CDense{{C(0, -1), C(1)}, {C(0), C(0, 1)}},
                            CDense{{C(0, -2), C(3, 1), C(0.5)}, {C(0), C(-1), C(2, 2)}, {C(0), C(0, 2), C(1)}}}) {
        SCOPED_TRACE(d.size());
        CMatrix Q, R;
        ASSERT_TRUE(QR(FromCDense(d), &Q, &R).ok());
        const CDense q = ToCDense(Q), r = ToCDense(R);
        for (const CDense* f : {&q, &r})
            for (const auto& row : *f)
                for (const Complex& z : row) EXPECT_TRUE(std::isfinite(z.Real) && std::isfinite(z.Imag));
        EXPECT_LE(CDistance(CMultiply(q, r), d), 1e-14);
        EXPECT_LE(CDistance(CMultiply(CTranspose(q), q), CIdentity(d.size())), 1e-14);
    }
}

TEST(ComplexQR, OutputsAndShapes) {
    std::vector<std::string> log;
    LoggingCOutput q("Q", &log), r("R", &log);
    const CMatrix a = MakeC({{C(1, 2), C(0)}, {C(3), C(1, -1)}, {C(0, 5), C(2)}});
    ASSERT_TRUE(QR(a, &q, &r).ok());
    EXPECT_EQ(log, (std::vector<std::string>{"R", "Q"}));
    EXPECT_EQ(q.m.Rows(), 3);
    EXPECT_EQ(q.m.Cols(), 2);
    EXPECT_EQ(r.m.Rows(), 2);
    EXPECT_TRUE(SameBits(r.m.at(1, 0), C(0.0)));
    CMatrix onlyR;
    ASSERT_TRUE(QR(a, nullptr, &onlyR).ok());
    ExpectSameMatrix(onlyR, r.m);

    CMatrix Q = MakeC({{C(8)}}), R = MakeC({{C(9)}});
    EXPECT_EQ(QR(MakeC({{C(1), C(2), C(3)}, {C(4), C(5), C(6)}}), &Q, &R).message(), kTooFewRows);
    EXPECT_EQ(QR(CMatrix{}, &Q, &R).message(), kNotSized);
    ExpectSameMatrix(Q, MakeC({{C(8)}}));
    ExpectSameMatrix(R, MakeC({{C(9)}}));
}

TEST(ComplexQR, BitsFollowTheStepsOnRandomMatrices) {
    std::mt19937_64 rng(6201);
    for (int trial = 0; trial < 120; ++trial) {
        const std::size_t n = 1 + static_cast<std::size_t>(trial % 9);
        const std::size_t m = n + static_cast<std::size_t>(trial % 4);
        SCOPED_TRACE(trial);
        CDense d = RandomCDense(rng, m, n);
        if (trial % 4 == 1)
            for (auto& row : d) row[n / 2] = C(0.0);                  // a zero column
        if (trial % 6 == 2 && m >= 2) d[0][0] = C(1), d[1][0] = C(0, 1);  // sum of squares zero
        for (std::size_t i = 0; trial % 5 == 3 && i < m; ++i) d[i][0].Real = -std::fabs(d[i][0].Real);
        CDense q, r;
        LiteralQR(d, &q, &r);
        CMatrix Q, R;
        ASSERT_TRUE(QR(FromCDense(d), &Q, &R).ok());
        ExpectSameMatrix(R, FromCDense(r));
        ExpectSameMatrix(Q, FromCDense(q));
    }
}

TEST(ComplexQR, ReconstructsWithPlainTransposeOrthogonality) {
    std::mt19937_64 rng(6202);
    for (int trial = 0; trial < 40; ++trial) {
        const std::size_t n = 1 + static_cast<std::size_t>(trial % 20);
        const std::size_t m = n + static_cast<std::size_t>(trial % 7);
        SCOPED_TRACE(trial);
        const CDense d = RandomCDense(rng, m, n);
        CMatrix Q, R;
        ASSERT_TRUE(QR(FromCDense(d), &Q, &R).ok());
        const CDense q = ToCDense(Q), r = ToCDense(R);
        // Random complex columns have no (near) vanishing sums of squares
        // often enough to matter; the bound allows for the growth they cause.
        const double scale = CNorm(q) * CNorm(r);
        EXPECT_LE(CDistance(CMultiply(q, r), d), 256.0 * static_cast<double>(m) * kEps * scale);
        EXPECT_LE(CDistance(CMultiply(CTranspose(q), q), CIdentity(n)),
                  256.0 * static_cast<double>(m) * kEps * CNorm(q) * CNorm(q));
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < i; ++j) EXPECT_TRUE(SameBits(r[i][j], C(0.0)));
    }
}

TEST(ComplexQR, RealMatrixStoredAsComplexGivesTheRealResults) {
    std::mt19937_64 rng(6203);
    for (int trial = 0; trial < 30; ++trial) {
        const std::size_t n = 1 + static_cast<std::size_t>(trial % 10);
        const std::size_t m = n + static_cast<std::size_t>(trial % 3);
        const Matrix a = FromDense(RandomDense(rng, m, n));
        Matrix Q, R;
        ASSERT_TRUE(QR(a, &Q, &R).ok());
        CMatrix cq, cr;
        ASSERT_TRUE(QR(RealAsComplex(a), &cq, &cr).ok());
        for (std::int32_t i = 0; i < Q.Rows(); ++i)
            for (std::int32_t j = 0; j < Q.Cols(); ++j) {
                EXPECT_NEAR(cq.at(i, j).Real, Q.at(i, j), 1e-13);
                EXPECT_EQ(cq.at(i, j).Imag, 0.0);
            }
        for (std::int32_t i = 0; i < R.Rows(); ++i)
            for (std::int32_t j = 0; j < R.Cols(); ++j) {
                EXPECT_NEAR(cr.at(i, j).Real, R.at(i, j), 1e-13);
                EXPECT_EQ(cr.at(i, j).Imag, 0.0);
            }
    }
}

TEST(ComplexCholesky, IndefiniteSymmetricMatrixFactors) {
    const CMatrix a = MakeC({{C(1), C(2)}, {C(2), C(1)}});
    CMatrix L = MakeC({{C(9, 9), C(9, 9)}, {C(9, 9), C(9, 9)}});
    ASSERT_TRUE(Cholesky(a, &L).ok());
    EXPECT_TRUE(SameBits(L.at(0, 0), C(1)));
    EXPECT_TRUE(SameBits(L.at(1, 0), C(2)));
    EXPECT_TRUE(SameBits(L.at(1, 1), C(0, 1.7320508075688772)));
    EXPECT_TRUE(SameBits(L.at(0, 1), C(9, 9)));  // above the diagonal: not written
    Matrix real;
    EXPECT_EQ(Cholesky(Make({{1, 2}, {2, 1}}), &real).message(), kNotPositiveDefinite);
    // A newly created output gets zeros above the diagonal.
    CMatrix fresh;
    ASSERT_TRUE(Cholesky(a, &fresh).ok());
    EXPECT_TRUE(SameBits(fresh.at(0, 1), C(0)));
}

TEST(ComplexCholesky, HermitianAndOtherAsymmetricMatricesAreRejected) {
    CMatrix L = MakeC({{C(5)}});
    EXPECT_EQ(Cholesky(MakeC({{C(2), C(0, 1)}, {C(0, -1), C(2)}}), &L).message(), kNotPositiveDefinite);
    EXPECT_EQ(Cholesky(MakeC({{C(2), C(kNaN)}, {C(kNaN), C(2)}}), &L).message(), kNotPositiveDefinite);
    EXPECT_EQ(Cholesky(MakeC({{C(4), C(1), C(2)}, {C(1), C(5), C(3, 1)}, {C(2), C(3, 1.0000001), C(6)}}), &L).message(),
              kNotPositiveDefinite);
    EXPECT_EQ(Cholesky(MakeC({{C(1), C(2), C(3)}, {C(4), C(5), C(6)}}), &L).message(), kNotSquare);
    EXPECT_EQ(Cholesky(CMatrix{}, &L).message(), kNotSized);
    ExpectSameMatrix(L, MakeC({{C(5)}}));
    // The symmetric but not Hermitian partner factors.
    EXPECT_TRUE(Cholesky(MakeC({{C(2), C(0, 1)}, {C(0, 1), C(2)}}), &L).ok());
}

TEST(ComplexCholesky, ZeroPivotIsNotAnError) {
    CMatrix L;
    ASSERT_TRUE(Cholesky(MakeC({{C(0), C(1)}, {C(1), C(1)}}), &L).ok());
    EXPECT_TRUE(SameBits(L.at(0, 0), C(0)));
    EXPECT_TRUE(std::isnan(L.at(1, 0).Real));
    EXPECT_TRUE(std::isnan(L.at(1, 0).Imag));
    ASSERT_TRUE(Cholesky(MakeC({{C(-4)}}), &L).ok());
    EXPECT_TRUE(SameBits(L.at(0, 0), C(0, 2)));
}

TEST(ComplexCholesky, BitsAndReconstructionOnRandomSymmetricMatrices) {
    std::mt19937_64 rng(6204);
    for (int trial = 0; trial < 80; ++trial) {
        const std::size_t n = 1 + static_cast<std::size_t>(trial % 25);
        SCOPED_TRACE(trial);
        CDense d = SymmetricCDense(rng, n);
        if (trial % 3 == 0)  // plain symmetric without the dominant diagonal
            for (std::size_t i = 0; i < n; ++i) d[i][i] = RandomCDense(rng, 1, 1)[0][0];
        CDense lit;
        ASSERT_TRUE(LiteralCholesky(d, &lit));
        CMatrix L;
        ASSERT_TRUE(Cholesky(FromCDense(d), &L).ok());
        ExpectSameMatrix(L, FromCDense(lit));
        if (trial % 3 != 0) {
            const CDense l = ToCDense(L);
            EXPECT_LE(CDistance(CMultiply(l, CTranspose(l)), d), 64.0 * static_cast<double>(n) * kEps * CNorm(d));
        }
    }
}

TEST(ComplexCholesky, RealSpdMatrixStoredAsComplexGivesTheRealFactor) {
    std::mt19937_64 rng(6205);
    for (int trial = 0; trial < 30; ++trial) {
        const std::size_t n = 1 + static_cast<std::size_t>(trial % 15);
        const Matrix a = FromDense(SpdDense(rng, n));
        Matrix L;
        ASSERT_TRUE(Cholesky(a, &L).ok());
        CMatrix cl;
        ASSERT_TRUE(Cholesky(RealAsComplex(a), &cl).ok());
        for (std::int32_t i = 0; i < a.Rows(); ++i)
            for (std::int32_t j = 0; j <= i; ++j) {
                EXPECT_NEAR(cl.at(i, j).Real, L.at(i, j), 1e-13 * static_cast<double>(n));
                EXPECT_EQ(cl.at(i, j).Imag, 0.0);
            }
    }
}

TEST(ComplexQRCholesky, NotANumberAndInfinityFinish) {
    const double nan = kNaN, inf = kInf;
    const std::vector<CDense> cases = {
        {{C(nan, nan), C(1)}, {C(1), C(nan)}},
        {{C(inf, inf), C(1)}, {C(1), C(-inf, 3)}},
        {{C(inf), C(inf)}, {C(inf), C(inf)}},
        {{C(1e300, 1e300), C(1e-300)}, {C(1e-300), C(1e300, -1e300)}},
    };
    for (const CDense& d : cases) {
        const CMatrix a = FromCDense(d);
        CMatrix Q, R, L;
        EXPECT_TRUE(QR(a, &Q, &R).ok());
        const Status s = Cholesky(a, &L);
        EXPECT_TRUE(s.ok() || s.message() == kNotPositiveDefinite);
    }
}

TEST(ComplexQRCholesky, OutOfMemoryAtEveryAllocationWritesNothing) {
    AllocationGuard guard;
    const CMatrix a = MakeC({{C(4, 1), C(2), C(0)}, {C(2), C(5, -1), C(1)}, {C(0), C(1), C(6, 2)}});
    for (int op = 0; op < 2; ++op) {
        bool succeeded = false;
        for (long k = 0; k < 40 && !succeeded; ++k) {
            CMatrix Q = MakeC({{C(7)}}), R = MakeC({{C(8)}});
            FailAllocationsAfter(k);
            const Status s = op == 0 ? QR(a, &Q, &R) : Cholesky(a, &Q);
            FailAllocationsAfter(-1);
            if (s.ok()) {
                succeeded = true;
                continue;
            }
            EXPECT_EQ(s.code(), Status::OutOfMemory().code());
            ExpectSameMatrix(Q, MakeC({{C(7)}}));
            ExpectSameMatrix(R, MakeC({{C(8)}}));
        }
        EXPECT_TRUE(succeeded);
    }
}

}  // namespace
}  // namespace corvane
