// QR: documented cases, sign rule, output order, bits of the reciprocal and
// ScaledHypot steps, orthogonality and reconstruction on random matrices.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "core/allocation.h"
#include "core/numeric_helpers.h"
#include "linalg/qr.h"
#include "linalg_test_support.h"

namespace corvane {
namespace {

using namespace test;
using Rows = std::vector<std::vector<double>>;

Dense Negated(Dense d) {
    for (auto& row : d)
        for (double& x : row) x = -x;
    return d;
}

TEST(QR, DocumentedCases) {
    Matrix Q, R;
    ASSERT_TRUE(QR(Make({{3}, {4}}), &Q, &R).ok());
    EXPECT_EQ(Contents(R), (Rows{{-5}}));
    ASSERT_EQ(Q.Rows(), 2);
    ASSERT_EQ(Q.Cols(), 1);
    EXPECT_LE(std::fabs(Q.at(0, 0) + 0.6), std::nextafter(0.6, 1.0) - 0.6);
    EXPECT_LE(std::fabs(Q.at(1, 0) + 0.8), std::nextafter(0.8, 1.0) - 0.8);

    ASSERT_TRUE(QR(FromDense(Identity(4)), &Q, &R).ok());
    EXPECT_EQ(Contents(R), Negated(Identity(4)));
    EXPECT_EQ(Contents(Q), Negated(Identity(4)));

    ASSERT_TRUE(QR(Make({{1, 2}, {3, 4}, {5, 6}}), &Q, &R).ok());
    EXPECT_EQ(Q.Rows(), 3);
    EXPECT_EQ(Q.Cols(), 2);
    EXPECT_EQ(R.Rows(), 2);
    EXPECT_EQ(R.Cols(), 2);
    EXPECT_EQ(R.at(1, 0), 0.0);
}

TEST(QR, FailuresWriteNothing) {
    Matrix Q = Make({{1}}), R = Make({{2}});
    EXPECT_EQ(QR(Make({{1, 2, 3}, {4, 5, 6}}), &Q, &R).message(), kTooFewRows);
    EXPECT_EQ(QR(Matrix(), &Q, &R).message(), kNotSized);
    ExpectSameBits(Q, Make({{1}}));
    ExpectSameBits(R, Make({{2}}));
}

// The diagonal of R takes the sign opposite to the leading element; a
// negative zero leads like a positive one; a zero column is not reflected.
TEST(QR, SignRuleAndZeroColumns) {
    Matrix R;
    ASSERT_TRUE(QR(Make({{-3}, {4}}), nullptr, &R).ok());
    EXPECT_EQ(R.at(0, 0), 5.0);
    ASSERT_TRUE(QR(Make({{-0.0}, {4}}), nullptr, &R).ok());
    EXPECT_EQ(R.at(0, 0), -4.0);
    Matrix Q;
    ASSERT_TRUE(QR(Make({{1, 0}, {2, 0}, {3, 0}}), &Q, &R).ok());
    EXPECT_EQ(Bits(R.at(1, 1)), Bits(-0.0));
    ASSERT_TRUE(QR(Make({{0}, {0}}), &Q, &R).ok());
    EXPECT_EQ(Bits(R.at(0, 0)), Bits(-0.0));
    EXPECT_EQ(Contents(Q), (Rows{{1}, {0}}));
}

// Norm by ScaledHypot (not √13), vector scaled by the norm's reciprocal,
// step factor −1/w(k, k) times the sum: the division-based variant gives
// other last bits for this column.
TEST(QR, NormsAndReciprocalsFixTheBits) {
    Matrix Q, R;
    ASSERT_TRUE(QR(Make({{2}, {3}}), &Q, &R).ok());
    const double norm = ScaledHypot(ScaledHypot(0.0, 2.0), 3.0);
    ASSERT_NE(norm, std::sqrt(13.0));
    EXPECT_EQ(Bits(R.at(0, 0)), Bits(-norm));
    const double t = 1.0 / norm;
    const double w0 = 2.0 * t + 1.0, w1 = 3.0 * t;
    const double s = (-1.0 / w0) * (w0 * 1.0 + w1 * 0.0);
    EXPECT_EQ(Bits(Q.at(0, 0)), Bits(1.0 + s * w0));
    EXPECT_EQ(Bits(Q.at(1, 0)), Bits(0.0 + s * w1));
    EXPECT_NE(Bits(Q.at(0, 0)), Bits(1.0 + (-(2.0 / norm + 1.0) / (2.0 / norm + 1.0)) * (2.0 / norm + 1.0)));
}

TEST(QR, WritesRBeforeQAndSkipsWhatIsNotWanted) {
    std::vector<std::string> log;
    LoggingOutput Q("Q", &log), R("R", &log);
    const Matrix a = Make({{1, 2}, {3, 4}, {5, 7}});
    ASSERT_TRUE(QR(a, &Q, &R).ok());
    EXPECT_EQ(SizeOrder(log), (std::vector<std::string>{"R", "Q"}));
    EXPECT_EQ(log.size(), 2u + 4u + 6u);

    Matrix rOnly, qOnly;
    ASSERT_TRUE(QR(a, nullptr, &rOnly).ok());
    ExpectSameBits(rOnly, R.m);
    ASSERT_TRUE(QR(a, &qOnly, nullptr).ok());
    ExpectSameBits(qOnly, Q.m);

    Matrix both;
    ASSERT_TRUE(QR(a, &both, &both).ok());
    ExpectSameBits(both, Q.m);
    Matrix self = Make({{1, 2}, {3, 4}, {5, 7}});
    ASSERT_TRUE(QR(self, nullptr, &self).ok());
    ExpectSameBits(self, R.m);
}

TEST(QR, OrthonormalQAndReconstructionOnRandomMatrices) {
    std::mt19937_64 rng(99);
    int checked = 0;
    for (Kind kind : {Kind::General, Kind::RankDeficient, Kind::ZeroRowAndColumn, Kind::IllConditioned, Kind::Graded})
        for (std::size_t n = 1; n <= 60; n += (n < 8 ? 1 : 9))
            for (std::size_t extra : {0u, 3u}) {
                const std::size_t m = n + extra;
                SCOPED_TRACE(testing::Message() << KindName(kind) << " " << m << "x" << n);
                const Dense a = RandomDense(rng, m, n, kind);
                Matrix Q, R;
                ASSERT_TRUE(QR(FromDense(a), &Q, &R).ok());
                const Dense q = ToDense(Q), r = ToDense(R);
                for (std::size_t i = 0; i < n; ++i)
                    for (std::size_t j = 0; j < i; ++j) EXPECT_EQ(r[i][j], 0.0);
                const double c = 8.0 * static_cast<double>(m);
                EXPECT_LE(OrthogonalityError(q), c * kEps);
                EXPECT_LE(Distance(Multiply(q, r), a), c * kEps * Norm(a));
                ++checked;
            }
    EXPECT_GT(checked, 80);
}

TEST(QR, BadElementsNeverCrash) {
    std::mt19937_64 rng(6);
    Matrix Q, R;
    for (std::size_t n : {1u, 4u, 13u}) {
        EXPECT_TRUE(QR(FromDense(Dense(n + 2, std::vector<double>(n, kNaN))), &Q, &R).ok());
        Dense one = RandomDense(rng, n + 1, n);
        one[n][0] = kInf;
        EXPECT_TRUE(QR(FromDense(one), &Q, &R).ok());
        Dense huge = RandomDense(rng, n + 1, n), tiny = huge;
        for (std::size_t i = 0; i <= n; ++i)
            for (std::size_t j = 0; j < n; ++j) {
                huge[i][j] *= 1e300;
                tiny[i][j] *= 1e-300;
            }
        // ScaledHypot keeps both finite and the factors orthonormal.
        for (const Dense& a : {huge, tiny}) {
            ASSERT_TRUE(QR(FromDense(a), &Q, &R).ok());
            const Dense q = ToDense(Q);
            EXPECT_LE(OrthogonalityError(q), 64.0 * kEps);
            EXPECT_TRUE(std::isfinite(R.at(0, 0)));
            EXPECT_NE(R.at(0, 0), 0.0);
        }
    }
}

TEST(QR, OutOfMemoryWritesNothing) {
    AllocationGuard guard;
    const Matrix a = Make({{1, 2}, {3, 4}, {5, 7}});
    bool succeeded = false;
    for (long k = 0; k < 30 && !succeeded; ++k) {
        Matrix Q = Make({{1}}), R = Make({{2}});
        FailAllocationsAfter(k);
        const Status s = QR(a, &Q, &R);
        FailAllocationsAfter(-1);
        if (s.ok()) {
            succeeded = true;
            continue;
        }
        EXPECT_EQ(s.code(), Status::OutOfMemory().code());
        ExpectSameBits(Q, Make({{1}}));
        ExpectSameBits(R, Make({{2}}));
    }
    EXPECT_TRUE(succeeded);
}

}  // namespace
}  // namespace corvane
