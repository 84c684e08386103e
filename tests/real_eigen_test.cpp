// Eigen and EigenC of the real matrix: the documented examples, the order of
// the eigenvalues, the pairing of conjugate vectors, the output rule and the
// failures.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <vector>

#include "core/allocation.h"
#include "eigen/real_eigen.h"
#include "eigen_test_support.h"
#include "matrix_test_support.h"

namespace corvane {
namespace {

using test::Bits;
using test::Contents;
using test::Make;
using Rows = std::vector<std::vector<double>>;
using cd = std::complex<double>;

struct EigenOut {
    Matrix rv, iv, rvec, ivec;
};

Status RunEigen(const Matrix& m, EigenOut& o) { return Eigen(m, &o.rv, &o.iv, &o.rvec, &o.ivec); }

TEST(RealEigen, OneByOne) {
    Matrix m = Make({{-7.5}});
    EigenOut o;
    ASSERT_TRUE(RunEigen(m, o).ok());
    EXPECT_EQ(Contents(o.rv), (Rows{{-7.5}}));
    EXPECT_EQ(Contents(o.iv), (Rows{{0}}));
    EXPECT_EQ(Contents(o.rvec), (Rows{{1}}));
    EXPECT_EQ(Contents(o.ivec), (Rows{{0}}));
}

TEST(RealEigen, SymmetricTwoByTwoIsDescendingWithUnitVectors) {
    Matrix m = Make({{2, 1}, {1, 2}});
    EigenOut o;
    ASSERT_TRUE(RunEigen(m, o).ok());
    EXPECT_NEAR(o.rv.at(0, 0), 3.0, 1e-15);
    EXPECT_NEAR(o.rv.at(1, 0), 1.0, 1e-15);
    EXPECT_EQ(Contents(o.iv), (Rows{{0}, {0}}));
    const double h = 1.0 / std::sqrt(2.0);
    EXPECT_NEAR(std::fabs(o.rvec.at(0, 0)), h, 1e-15);
    EXPECT_NEAR(o.rvec.at(0, 0), o.rvec.at(1, 0), 1e-15);
    EXPECT_NEAR(std::fabs(o.rvec.at(0, 1)), h, 1e-15);
    EXPECT_NEAR(o.rvec.at(0, 1), -o.rvec.at(1, 1), 1e-15);
}

TEST(RealEigen, RotationGivesConjugateValuesAndVectors) {
    Matrix m = Make({{0, -1}, {1, 0}});
    EigenOut o;
    ASSERT_TRUE(RunEigen(m, o).ok());
    EXPECT_EQ(Contents(o.rv), (Rows{{0}, {0}}));
    EXPECT_EQ(Contents(o.iv), (Rows{{1}, {-1}}));
    EXPECT_EQ(Contents(o.rvec), (Rows{{-1, -1}, {0, 0}}));
    EXPECT_EQ(Contents(o.ivec), (Rows{{0, 0}, {1, -1}}));
    EXPECT_EQ(Bits(o.ivec.at(0, 0)), Bits(0.0));
    EXPECT_EQ(Bits(o.ivec.at(0, 1)), Bits(-0.0)) << "the negated zero of the conjugate";

    CMatrix values, vectors;
    ASSERT_TRUE(EigenC(m, &values, &vectors).ok());
    ASSERT_EQ(values.Rows(), 2);
    ASSERT_EQ(values.Cols(), 1);
    EXPECT_TRUE(values.at(0, 0) == (Complex{0, 1}));
    EXPECT_TRUE(values.at(1, 0) == (Complex{0, -1}));
    EXPECT_TRUE(vectors.at(0, 0) == (Complex{-1, 0}));
    EXPECT_TRUE(vectors.at(1, 0) == (Complex{0, 1}));
    EXPECT_TRUE(vectors.at(0, 1) == (Complex{-1, 0}));
    EXPECT_EQ(Bits(vectors.at(0, 1).Imag), Bits(-0.0));
    EXPECT_TRUE(vectors.at(1, 1) == (Complex{0, -1}));
}

TEST(RealEigen, DiagonalComesOutByDescendingModulus) {
    Matrix m = Make({{1, 0, 0}, {0, -5, 0}, {0, 0, 3}});
    EigenOut o;
    ASSERT_TRUE(RunEigen(m, o).ok());
    EXPECT_EQ(Contents(o.rv), (Rows{{-5}, {3}, {1}}));
    EXPECT_EQ(Contents(o.rvec), (Rows{{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}));
    EXPECT_EQ(Contents(o.ivec), (Rows{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}));
}

// Equal moduli: the position decides, ascending on the symmetric path and
// diagonal order on the general one.
TEST(RealEigen, EqualModuliKeepThePositionOrder) {
    EigenOut o;
    ASSERT_TRUE(RunEigen(Make({{2, 0}, {0, -2}}), o).ok());
    EXPECT_EQ(Contents(o.rv), (Rows{{-2}, {2}}));
    EXPECT_EQ(Contents(o.rvec), (Rows{{0, 1}, {1, 0}}));
    // Upper triangular (general path, no sweep): positions are diagonal ones.
    ASSERT_TRUE(RunEigen(Make({{2, 1, 0}, {0, -2, 1}, {0, 0, 2}}), o).ok());
    EXPECT_EQ(Contents(o.rv), (Rows{{2}, {-2}, {2}}));
}

TEST(RealEigen, LastBitAsymmetryTakesTheGeneralPathAndItsScaling) {
    const double b = 1.0;
    const double bNext = std::nextafter(b, 2.0);
    Matrix sym = Make({{2, b, 0.5}, {b, 3, 0.25}, {0.5, 0.25, 1}});
    Matrix near = Make({{2, bNext, 0.5}, {b, 3, 0.25}, {0.5, 0.25, 1}});
    EigenOut s, g;
    ASSERT_TRUE(RunEigen(sym, s).ok());
    ASSERT_TRUE(RunEigen(near, g).ok());
    for (std::int32_t k = 0; k < 3; ++k) {
        double len = 0, largest = 0;
        for (std::int32_t i = 0; i < 3; ++i) {
            len += s.rvec.at(i, k) * s.rvec.at(i, k);
            largest = std::max(largest, std::fabs(g.rvec.at(i, k)));
        }
        EXPECT_NEAR(len, 1.0, 1e-14) << "unit length on the symmetric path";
        EXPECT_NEAR(largest, 1.0, 1e-15) << "largest component 1 on the general path";
        EXPECT_NEAR(s.rv.at(k, 0), g.rv.at(k, 0), 1e-14);
    }
}

// A NaN difference does not count against symmetry, and the symmetric
// kernel reads only the lower triangle.
TEST(RealEigen, NaNInTheUpperTriangleStillTakesTheSymmetricPath) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EigenOut withNaN, clean;
    ASSERT_TRUE(RunEigen(Make({{1, nan, 0.5}, {2, 3, 0.25}, {0.5, 0.25, -1}}), withNaN).ok());
    ASSERT_TRUE(RunEigen(Make({{1, 2, 0.5}, {2, 3, 0.25}, {0.5, 0.25, -1}}), clean).ok());
    test::ExpectSameBits(withNaN.rv, clean.rv);
    test::ExpectSameBits(withNaN.rvec, clean.rvec);
}

// Every column pairs with its value: real and complex, on random matrices.
TEST(RealEigen, EveryOutputColumnIsTheEigenvectorOfItsValue) {
    std::mt19937_64 rng(77);
    std::uniform_real_distribution<double> u(-1, 1);
    for (std::int32_t n : {1, 2, 3, 6, 11, 30}) {
        for (bool symmetric : {false, true}) {
            Matrix m;
            ASSERT_TRUE(m.Size(n, n).ok());
            test::Table t(n);
            for (std::int32_t i = 0; i < n; ++i)
                for (std::int32_t j = 0; j < n; ++j) t(i, j) = m.at(i, j) = symmetric && j < i ? m.at(j, i) : u(rng);
            EigenOut o;
            ASSERT_TRUE(RunEigen(m, o).ok());
            CMatrix cv, cvec;
            ASSERT_TRUE(EigenC(m, &cv, &cvec).ok());
            for (std::int32_t k = 0; k < n; ++k) {
                const cd lambda(o.rv.at(k, 0), o.iv.at(k, 0));
                if (k > 0) {
                    EXPECT_GE(std::abs(cd(o.rv.at(k - 1, 0), o.iv.at(k - 1, 0))) * (1 + 1e-15), std::abs(lambda));
                }
                std::vector<cd> v(static_cast<std::size_t>(n));
                for (std::int32_t i = 0; i < n; ++i) {
                    v[i] = cd(o.rvec.at(i, k), o.ivec.at(i, k));
                    EXPECT_TRUE(cvec.at(i, k) == (Complex{o.rvec.at(i, k), o.ivec.at(i, k)}));
                }
                EXPECT_TRUE(cv.at(k, 0) == (Complex{lambda.real(), lambda.imag()}));
                EXPECT_LE(test::RelativeResidual(t, lambda, v), test::ResidualTolerance(n)) << n << " " << k;
            }
        }
    }
}

// Values only: the same eigenvalues as with vectors (the general kernels run
// the same iteration); the vector outputs decide which kernel runs.
TEST(RealEigen, ValuesOnlyGiveTheSameValues) {
    std::mt19937_64 rng(78);
    std::uniform_real_distribution<double> u(-1, 1);
    Matrix m;
    ASSERT_TRUE(m.Size(9, 9).ok());
    for (std::int32_t i = 0; i < 9; ++i)
        for (std::int32_t j = 0; j < 9; ++j) m.at(i, j) = u(rng);
    EigenOut all;
    ASSERT_TRUE(RunEigen(m, all).ok());
    Matrix rv, iv, ivec;
    ASSERT_TRUE(Eigen(m, &rv, &iv, nullptr, nullptr).ok());
    test::ExpectSameBits(rv, all.rv);
    test::ExpectSameBits(iv, all.iv);
    ASSERT_TRUE(Eigen(m, &rv, nullptr, nullptr, &ivec).ok());
    test::ExpectSameBits(ivec, all.ivec);
    CMatrix cv;
    ASSERT_TRUE(EigenC(m, &cv, nullptr).ok());
    for (std::int32_t k = 0; k < 9; ++k) EXPECT_TRUE(cv.at(k, 0) == (Complex{all.rv.at(k, 0), all.iv.at(k, 0)}));
}

TEST(RealEigen, LaterOutputsOverwriteEarlierOnesOnTheSameObject) {
    Matrix m = Make({{0, -1}, {1, 0}});
    Matrix same;
    ASSERT_TRUE(Eigen(m, &same, &same, nullptr, nullptr).ok());
    EXPECT_EQ(Contents(same), (Rows{{1}, {-1}}));
    // The matrix itself as an output: the copy was taken first.
    Matrix self = Make({{1, 0, 0}, {0, -5, 0}, {0, 0, 3}});
    ASSERT_TRUE(Eigen(self, &self, nullptr, nullptr, nullptr).ok());
    EXPECT_EQ(Contents(self), (Rows{{-5}, {3}, {1}}));
}

// A NaN defeats the general QR iteration: 1317, and no output is touched,
// with or without outputs.
TEST(RealEigen, FailuresWriteNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Matrix bad = Make({{1, 2, 3}, {4, nan, 6}, {7, 8, 10}});
    EigenOut o;
    o.rv = Make({{42}});
    EXPECT_EQ(RunEigen(bad, o).message(), 1317);
    EXPECT_EQ(Contents(o.rv), (Rows{{42}}));
    EXPECT_FALSE(o.iv.sized());
    EXPECT_FALSE(o.rvec.sized());
    EXPECT_EQ(Eigen(bad, nullptr, nullptr, nullptr, nullptr).message(), 1317);
    CMatrix cv;
    EXPECT_EQ(EigenC(bad, &cv, nullptr).message(), 1317);
    EXPECT_FALSE(cv.sized());

    Matrix unsized, wide = Make({{1, 2}});
    EXPECT_EQ(RunEigen(unsized, o).message(), 1321);
    EXPECT_EQ(RunEigen(wide, o).message(), 1305);
    EXPECT_EQ(EigenC(wide, &cv, nullptr).message(), 1305);
    EXPECT_EQ(Contents(o.rv), (Rows{{42}}));
    EXPECT_FALSE(o.iv.sized());
}

TEST(RealEigen, AllocationFailureWritesNothingAndLeaksNothing) {
    Matrix m = Make({{4, 1, 0}, {1, 3, 1}, {0, 2, 2}});
    for (long k = 0; k < 12; ++k) {
        EigenOut o;
        o.rv = Make({{42}});
        FailAllocationsAfter(k);
        const Status s = RunEigen(m, o);
        FailAllocationsAfter(-1);
        if (s.ok()) break;
        EXPECT_EQ(s, Status::OutOfMemory());
        EXPECT_EQ(Contents(o.rv), (Rows{{42}}));
        EXPECT_FALSE(o.ivec.sized());
    }
    // The shape is refused before anything is allocated.
    Matrix wide = Make({{1, 2, 3}, {4, 5, 6}}), unsized;
    EigenOut o;
    CMatrix cv;
    FailAllocationsAfter(0);
    const Status notSquare = RunEigen(wide, o), notSquareC = EigenC(wide, &cv, nullptr), notSized = RunEigen(unsized, o);
    FailAllocationsAfter(-1);
    EXPECT_EQ(notSquare.message(), 1305);
    EXPECT_EQ(notSquareC.message(), 1305);
    EXPECT_EQ(notSized.message(), 1321);
}

// Non-finite input: the walk over the columns stays within the matrix.
TEST(RealEigen, NonFiniteInputStaysWithinTheOutputs) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::mt19937_64 rng(79);
    std::uniform_real_distribution<double> u(-1, 1);
    for (std::int32_t n : {1, 2, 3, 5}) {
        for (double badValue : {nan, inf}) {
            for (std::int32_t where = 0; where < n * n; ++where) {
                Matrix m;
                ASSERT_TRUE(m.Size(n, n).ok());
                for (std::int32_t i = 0; i < n; ++i)
                    for (std::int32_t j = 0; j < n; ++j) m.at(i, j) = u(rng);
                m.at(where / n, where % n) = badValue;
                EigenOut o;
                const Status s = RunEigen(m, o);
                EXPECT_TRUE(s.ok() || s.message() == 1317);
                if (s.ok()) {
                    EXPECT_EQ(o.rvec.Rows(), n);
                    EXPECT_EQ(o.ivec.Cols(), n);
                }
                CMatrix cv, cvec;
                const Status c = EigenC(m, &cv, &cvec);
                EXPECT_EQ(c, s);
            }
        }
    }
}

}  // namespace
}  // namespace corvane
