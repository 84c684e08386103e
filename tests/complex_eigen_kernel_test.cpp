// The complex eigen kernel: its scalar helpers, the reduction, eigenpair
// residuals on many seeded matrices, the vector scaling, non-finite input and
// an exhausted iteration budget.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "complex/complex.h"
#include "core/cmatrix.h"
#include "core/normalize.h"
#include "complex_eigen_support.h"
#include "eigen/complex_eigen.h"
#include "matrix_test_support.h"

namespace corvane {
namespace {

using test::Bits;
using test::CMat;
using test::Cx;
using test::KernelRun;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(IterativeHypot, AgreesWithTheModulusAndAvoidsOverflow) {
    EXPECT_EQ(IterativeHypot(0.0, 0.0), 0.0);
    EXPECT_EQ(IterativeHypot(-0.0, 7.0), 7.0);
    EXPECT_EQ(IterativeHypot(-2.0, 0.0), 2.0);
    EXPECT_NEAR(IterativeHypot(3.0, -4.0), 5.0, 1e-15);
    EXPECT_NEAR(IterativeHypot(1e300, 1e300) / 1e300, std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(IterativeHypot(1e-300, 1e-300) / 1e-300, std::sqrt(2.0), 1e-15);
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> u(-10.0, 10.0);
    for (int k = 0; k < 2000; ++k) {
        const double a = u(rng), b = k % 3 == 0 ? a : u(rng);
        EXPECT_NEAR(IterativeHypot(a, b), std::hypot(a, b), 2e-15 * std::hypot(a, b)) << a << " " << b;
        EXPECT_EQ(Bits(IterativeHypot(a, b)), Bits(IterativeHypot(b, -a)));
    }
}

TEST(IterativeHypot, EndsForNonFiniteArguments) {
    EXPECT_TRUE(std::isnan(IterativeHypot(kNaN, 0.0)));
    EXPECT_TRUE(std::isnan(IterativeHypot(0.0, kNaN)));
    EXPECT_TRUE(std::isnan(IterativeHypot(kInf, kNaN)));
    EXPECT_EQ(IterativeHypot(kInf, kInf), kInf);
    EXPECT_EQ(IterativeHypot(-kInf, 3.0), kInf);
    EXPECT_EQ(IterativeHypot(2.0, -kInf), kInf);
}

TEST(ComplexSqrtBranch, SquaresBackOnTheStatedBranch) {
    std::mt19937_64 rng(12);
    std::uniform_real_distribution<double> u(-5.0, 5.0);
    for (int k = 0; k < 2000; ++k) {
        const double xr = k % 7 == 0 ? 0.0 : u(rng), xi = k % 5 == 0 ? 0.0 : u(rng);
        double yr, yi;
        ComplexSqrtBranch(xr, xi, &yr, &yi);
        const Cx y(yr, yi);
        EXPECT_LT(std::abs(y * y - Cx(xr, xi)), 1e-14 * (1.0 + std::abs(Cx(xr, xi))));
        EXPECT_GE(yr, 0.0);
        if (xi < 0.0) {
            EXPECT_LE(yi, 0.0);
        } else if (xi > 0.0) {
            EXPECT_GE(yi, 0.0);
        }
    }
    double yr, yi;
    ComplexSqrtBranch(-4.0, 0.0, &yr, &yi);
    EXPECT_EQ(yr, 0.0);
    EXPECT_EQ(yi, 2.0);
    ComplexSqrtBranch(-4.0, -0.0, &yr, &yi);  // a negative zero is not below zero
    EXPECT_EQ(yi, 2.0);
    ComplexSqrtBranch(9.0, 0.0, &yr, &yi);
    EXPECT_EQ(yr, 3.0);
    EXPECT_EQ(yi, 0.0);
    ComplexSqrtBranch(0.0, 0.0, &yr, &yi);
    EXPECT_EQ(yr, 0.0);
    EXPECT_EQ(yi, 0.0);
    ComplexSqrtBranch(kNaN, 1.0, &yr, &yi);  // no branch test holds: both parts NaN, nothing uninitialised
    EXPECT_TRUE(std::isnan(yr));
    EXPECT_TRUE(std::isnan(yi));
}

// The eigen kernel divides with the scaled complex division on separate parts.
TEST(ComplexDivideParts, IsTheScaledDivision) {
    double cr, ci;
    ComplexDivideParts(1.0, 2.0, 3.0, 4.0, &cr, &ci);
    EXPECT_EQ(cr, 0.44000000000000006);
    EXPECT_EQ(ci, 0.08);
    ComplexDivideParts(1.0, 0.0, 0.0, 1.0, &cr, &ci);
    EXPECT_EQ(cr, 0.0);
    EXPECT_EQ(ci, -1.0);
    ComplexDivideParts(2.0, 5.0, 0.0, 0.0, &cr, &ci);
    EXPECT_TRUE(std::isnan(cr) && std::isnan(ci));
}

// A unitary similarity keeps the trace and the Frobenius norm; the reduced
// matrix must carry them in its upper Hessenberg part.
TEST(ComplexHessenbergReduce, IsAUnitarySimilarity) {
    std::mt19937_64 rng(13);
    for (int n : {1, 2, 3, 5, 9, 17, 30}) {
        SCOPED_TRACE(n);
        const CMat a = test::RandomCMat(n, rng);
        KernelRun run(a);
        ComplexHessenbergReduce(n - 1, n - 1, 0, n - 1, run.ar.data(), run.ai.data(), run.ortr.data(), run.orti.data());
        Cx trace = 0.0, traceA = 0.0;
        double norm2 = 0.0;
        for (int i = 0; i < n; ++i) {
            trace += Cx(run.ar[i][i], run.ai[i][i]);
            traceA += a[static_cast<std::size_t>(i)][static_cast<std::size_t>(i)];
            for (int j = std::max(i - 1, 0); j < n; ++j) norm2 += std::norm(Cx(run.ar[i][j], run.ai[i][j]));
        }
        EXPECT_LT(std::abs(trace - traceA), 1e-13 * n);
        EXPECT_NEAR(std::sqrt(norm2), test::FrobeniusNorm(a), 1e-13 * test::FrobeniusNorm(a));
    }
}

// The reflector is the column divided by its scale through one reciprocal;
// the scale adds |re| + |im| of each element as one term. Here both the
// quotient and the term-by-term sum would give other bits.
TEST(ComplexHessenbergReduce, ScalesTheColumnByOneReciprocalOfItsSum) {
    const CMat a = {{1, 2, 3}, {Cx(7.7, 3.3), 4, 5}, {Cx(1.1, 3.3), 6, 7}};
    KernelRun run(a);
    ComplexHessenbergReduce(2, 2, 0, 2, run.ar.data(), run.ai.data(), run.ortr.data(), run.orti.data());
    const double scale = (7.7 + 3.3) + (1.1 + 3.3);
    ASSERT_NE(Bits(scale), Bits(((7.7 + 3.3) + 1.1) + 3.3));
    ASSERT_NE(Bits(1.1 * (1.0 / scale)), Bits(1.1 / scale));
    EXPECT_EQ(Bits(run.ortr[2]), Bits(1.1 * (1.0 / scale)));
    EXPECT_EQ(Bits(run.orti[2]), Bits(3.3 * (1.0 / scale)));
}

// Each column is multiplied by 1/d, d the signed part of largest magnitude
// (the real part on a tie, the first row on equal magnitudes).
TEST(NormalizeComplexEigenvectors, MultipliesByTheReciprocalOfTheLargestPart) {
    KernelRun run(test::ZeroCMat(3));
    const double re[3][3] = {{3, 1, 2}, {10, -4, 2}, {-10, 0.5, 0}};
    const double im[3][3] = {{0, -8, 2}, {1, 4, 0}, {0, 8, 0}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            run.zr[i][j] = re[i][j];
            run.zi[i][j] = im[i][j];
        }
    NormalizeComplexEigenvectors(2, 2, run.zr.data(), run.zi.data());
    ASSERT_NE(Bits(3.0 * (1.0 / 10.0)), Bits(3.0 / 10.0));
    // Column 0: d = 10 (row 1 before row 2's −10).
    EXPECT_EQ(Bits(run.zr[0][0]), Bits(3.0 * (1.0 / 10.0)));
    EXPECT_EQ(run.zr[1][0], 1.0);
    EXPECT_EQ(run.zr[2][0], -1.0);
    EXPECT_EQ(Bits(run.zi[1][0]), Bits(1.0 * (1.0 / 10.0)));
    // Column 1: the imaginary −8 (first row) beats the real −4.
    EXPECT_EQ(run.zi[0][1], 1.0);
    EXPECT_EQ(run.zi[2][1], -1.0);
    EXPECT_EQ(run.zr[1][1], 0.5);
    EXPECT_EQ(Bits(run.zr[0][1]), Bits(1.0 * (1.0 / -8.0)));
    // Column 2: a tie of 2 and 2 goes to the real part, so d = +2.
    EXPECT_EQ(run.zr[0][2], 1.0);
    EXPECT_EQ(run.zi[0][2], 1.0);
    EXPECT_EQ(run.zr[1][2], 1.0);
}

// Column by column, the scaling is the matrix object's NormalizeMe.
TEST(NormalizeComplexEigenvectors, AgreesWithNormalizeOfEachColumn) {
    std::mt19937_64 rng(41);
    for (int n : {1, 3, 8}) {
        CMat z = test::RandomCMat(n, rng);
        z[0][0] = Cx(-0.5, 2.0);  // a negative imaginary winner somewhere
        z[static_cast<std::size_t>(n - 1)][0] = Cx(0.0, -2.0);
        KernelRun run(z);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                run.zr[i][j] = run.ar[i][j];
                run.zi[i][j] = run.ai[i][j];
            }
        NormalizeComplexEigenvectors(n - 1, n - 1, run.zr.data(), run.zi.data());
        for (int j = 0; j < n; ++j) {
            CMatrix column;
            ASSERT_TRUE(column.Size(n, 1).ok());
            for (int i = 0; i < n; ++i) column.at(i, 0) = {run.ar[i][j], run.ai[i][j]};
            double norm = 0.0;
            ASSERT_TRUE(NormalizeMe(column, &norm).ok());
            for (int i = 0; i < n; ++i) {
                EXPECT_EQ(Bits(run.zr[i][j]), Bits(column.at(i, 0).Real)) << i << "," << j;
                EXPECT_EQ(Bits(run.zi[i][j]), Bits(column.at(i, 0).Imag)) << i << "," << j;
            }
        }
    }
}

// The kinds of matrices the residual and oracle tests run on.
enum class Kind { General, Upper, Lower, Defective, Zero, Real, Hermitian };

CMat Generate(Kind kind, int n, std::mt19937_64& rng) {
    CMat a = test::RandomCMat(n, rng);
    const auto N = static_cast<std::size_t>(n);
    switch (kind) {
        case Kind::General: break;
        case Kind::Upper:
            for (std::size_t i = 0; i < N; ++i)
                for (std::size_t j = 0; j < i; ++j) a[i][j] = 0.0;
            break;
        case Kind::Lower:
            for (std::size_t i = 0; i < N; ++i)
                for (std::size_t j = i + 1; j < N; ++j) a[i][j] = 0.0;
            break;
        case Kind::Defective: {
            // S · J · S⁻¹ is awkward to form exactly; a Jordan-structured upper
            // triangle with a few repeated diagonal values, then a unitary-ish
            // mixing by a random unit lower triangle L·T·L⁻¹ (L⁻¹ exact enough).
            CMat t = test::ZeroCMat(n);
            const Cx values[3] = {Cx(0.5, -0.25), Cx(-1.0, 0.0), Cx(0.0, 2.0)};
            for (std::size_t i = 0; i < N; ++i) {
                t[i][i] = values[(i / 3) % 3];
                if (i + 1 < N) t[i][i + 1] = (i % 3 != 2) ? Cx(1.0, 0.0) : Cx(0.0, 0.0);
            }
            CMat l = test::ZeroCMat(n), linv = test::ZeroCMat(n);
            for (std::size_t i = 0; i < N; ++i) {
                l[i][i] = 1.0;
                if (i > 0) l[i][i - 1] = a[i][i - 1] * 0.5;
            }
            // Inverse of a unit lower bidiagonal matrix by forward substitution.
            for (std::size_t j = 0; j < N; ++j) {
                linv[j][j] = 1.0;
                for (std::size_t i = j + 1; i < N; ++i) linv[i][j] = -l[i][i - 1] * linv[i - 1][j];
            }
            a = test::Multiply(test::Multiply(l, t), linv);
            break;
        }
        case Kind::Zero:
            for (auto& row : a)
                for (auto& x : row) x = 0.0;
            break;
        case Kind::Real:
            for (auto& row : a)
                for (auto& x : row) x = Cx(x.real(), 0.0);
            break;
        case Kind::Hermitian:
            for (std::size_t i = 0; i < N; ++i) {
                a[i][i] = Cx(a[i][i].real(), 0.0);
                for (std::size_t j = 0; j < i; ++j) a[i][j] = std::conj(a[j][i]);
            }
            break;
    }
    return a;
}

const char* Name(Kind kind) {
    switch (kind) {
        case Kind::General: return "general";
        case Kind::Upper: return "upper triangular";
        case Kind::Lower: return "lower triangular";
        case Kind::Defective: return "defective";
        case Kind::Zero: return "zero";
        case Kind::Real: return "real";
        case Kind::Hermitian: return "hermitian";
    }
    return "";
}

// Every eigenpair of every matrix has a small residual, and every eigenvector
// is scaled so that its largest part is +1; the values-only path finds the
// same eigenvalues.
TEST(EigenComplexGeneral, EigenpairsHaveSmallResidualsOnSeededMatrices) {
    std::mt19937_64 rng(2024);
    const int sizes[] = {1, 2, 3, 4, 5, 7, 10, 16, 25, 40, 60};
    for (Kind kind : {Kind::General, Kind::Upper, Kind::Lower, Kind::Defective, Kind::Zero, Kind::Real,
                      Kind::Hermitian}) {
        for (int n : sizes) {
            for (int rep = 0; rep < (n <= 10 ? 6 : 2); ++rep) {
                SCOPED_TRACE(testing::Message() << Name(kind) << " n=" << n << " rep=" << rep);
                const CMat a = Generate(kind, n, rng);
                KernelRun run(a);
                ASSERT_EQ(run.Run(true), 0);
                double worst = 0.0;
                for (int j = 0; j < n; ++j) {
                    worst = std::max(worst, test::RelativeResidual(a, run, j));
                    test::ExpectScaledColumn(run, j);
                }
                EXPECT_LT(worst, 1e-14 * n);

                KernelRun values(a);
                ASSERT_EQ(values.Run(false), 0);
                // Same multiset of eigenvalues (defective ones are only good
                // to about the cube root of the rounding).
                const double tol = kind == Kind::Defective ? 1e-3 : 1e-11 * (1.0 + test::FrobeniusNorm(a));
                std::vector<bool> used(static_cast<std::size_t>(n), false);
                for (int j = 0; j < n; ++j) {
                    int best = -1;
                    double dist = INFINITY;
                    for (int k = 0; k < n; ++k)
                        if (!used[static_cast<std::size_t>(k)] && std::abs(values.Value(k) - run.Value(j)) < dist) {
                            dist = std::abs(values.Value(k) - run.Value(j));
                            best = k;
                        }
                    ASSERT_GE(best, 0);
                    used[static_cast<std::size_t>(best)] = true;
                    EXPECT_LT(dist, tol) << "eigenvalue " << j;
                }
            }
        }
    }
}

// A triangular matrix is already in Schur form: no sweep is needed and the
// eigenvalues come out as its diagonal, in diagonal order.
TEST(EigenComplexGeneral, TriangularMatricesGiveTheirDiagonalInOrder) {
    std::mt19937_64 rng(7);
    for (int n : {1, 2, 6, 12}) {
        CMat a = Generate(Kind::Upper, n, rng);
        for (bool vectors : {false, true}) {
            KernelRun run(a);
            ASSERT_EQ(run.Run(vectors), 0);
            for (int j = 0; j < n; ++j) {
                EXPECT_EQ(run.wr[j], a[static_cast<std::size_t>(j)][static_cast<std::size_t>(j)].real());
                EXPECT_EQ(run.wi[j], a[static_cast<std::size_t>(j)][static_cast<std::size_t>(j)].imag());
            }
        }
    }
}

TEST(EigenComplexGeneral, SmallExactCases) {
    {  // 1 × 1: the value itself and the vector [1]
        KernelRun run({{Cx(2.5, -1.5)}});
        ASSERT_EQ(run.Run(true), 0);
        EXPECT_EQ(run.Value(0), Cx(2.5, -1.5));
        EXPECT_EQ(run.Vector(0, 0), Cx(1.0, 0.0));
    }
    {  // diagonal: its values in position order, unit columns
        KernelRun run({{Cx(1, 1), 0, 0}, {0, Cx(-3, 0), 0}, {0, 0, Cx(0, 2)}});
        ASSERT_EQ(run.Run(true), 0);
        EXPECT_EQ(run.Value(0), Cx(1, 1));
        EXPECT_EQ(run.Value(1), Cx(-3, 0));
        EXPECT_EQ(run.Value(2), Cx(0, 2));
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) EXPECT_EQ(run.Vector(i, j), Cx(i == j ? 1.0 : 0.0, 0.0));
    }
    {  // the zero matrix: zero values and the identity
        KernelRun run(test::ZeroCMat(4));
        ASSERT_EQ(run.Run(true), 0);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(run.Value(i), Cx(0, 0));
            for (int j = 0; j < 4; ++j) EXPECT_EQ(run.Vector(i, j), Cx(i == j ? 1.0 : 0.0, 0.0));
        }
    }
    {  // the rotation [[0, −1], [1, 0]]: ±i with vectors scaled to a +1 part
        const CMat a = {{0, -1}, {1, 0}};
        KernelRun run(a);
        ASSERT_EQ(run.Run(true), 0);
        EXPECT_NEAR(std::abs(run.Value(0) - run.Value(1)), 2.0, 1e-15);
        EXPECT_NEAR(std::abs(run.Value(0)), 1.0, 1e-15);
        EXPECT_NEAR(std::abs(run.Value(1)), 1.0, 1e-15);
        for (int j = 0; j < 2; ++j) {
            EXPECT_NEAR(run.Value(j).real(), 0.0, 1e-15);
            EXPECT_LT(test::RelativeResidual(a, run, j), 1e-15);
            test::ExpectScaledColumn(run, j);
        }
    }
}

// The eigenvalue at position 0 is 0: its vector is what the accumulation left
// in column 0, not that column times the eigenvalue (which would be a zero
// vector).
TEST(EigenComplexGeneral, ZeroEigenvalueAtPositionZeroKeepsItsVector) {
    std::vector<CMat> cases = {{{0, 1}, {0, 1}}, {{0, Cx(2, 1), 3}, {0, Cx(1, -1), 4}, {0, 0, Cx(0, 3)}}};
    std::mt19937_64 rng(99);
    for (int n : {4, 9, 20}) {  // singular dense matrices, zero found first in many of them
        CMat a = test::RandomCMat(n, rng);
        for (auto& row : a) row[0] = 0.0;
        cases.push_back(a);
    }
    int zeroFirst = 0;
    for (const CMat& a : cases) {
        SCOPED_TRACE(a.size());
        KernelRun run(a);
        ASSERT_EQ(run.Run(true), 0);
        if (std::abs(run.Value(0)) == 0.0) ++zeroFirst;
        for (int j = 0; j < run.n; ++j) {
            EXPECT_LT(test::RelativeResidual(a, run, j), 1e-14 * run.n);
            test::ExpectScaledColumn(run, j);
        }
    }
    EXPECT_GE(zeroFirst, 2);  // the exact cases put the zero at position 0
}

// Repeated eigenvalues: the back-substitution perturbs the zero divisor, so
// every column is still a (nearly parallel) eigenvector.
TEST(EigenComplexGeneral, RepeatedEigenvaluesStillGiveVectors) {
    const CMat jordan = {{Cx(2, 1), 1, 0}, {0, Cx(2, 1), 1}, {0, 0, Cx(2, 1)}};
    const CMat scalar = {{Cx(0, -3), 0}, {0, Cx(0, -3)}};
    for (const CMat& a : {jordan, scalar}) {
        KernelRun run(a);
        ASSERT_EQ(run.Run(true), 0);
        for (int j = 0; j < run.n; ++j) {
            EXPECT_EQ(run.Value(j), a[0][0]);
            EXPECT_LT(test::RelativeResidual(a, run, j), 1e-15);
            test::ExpectScaledColumn(run, j);
        }
    }
}

// NaN and infinite elements: both paths end, stay inside their arrays (the
// sanitizer build checks), and a matrix flooded with NaN reports failure
// rather than success. A 2 × 2 NaN block reaches the exceptional shifts at
// en = 1, whose second term would lie outside the matrix.
TEST(EigenComplexGeneral, NonFiniteInputEndsInsideTheArrays) {
    std::mt19937_64 rng(5);
    for (double bad : {kNaN, kInf, -kInf}) {
        for (int n : {1, 2, 3, 6}) {
            for (int pos = 0; pos < n * n; pos += (n > 3 ? 5 : 1)) {
                for (bool imag : {false, true}) {
                    CMat a = test::RandomCMat(n, rng);
                    auto& x = a[static_cast<std::size_t>(pos / n)][static_cast<std::size_t>(pos % n)];
                    x = imag ? Cx(x.real(), bad) : Cx(bad, x.imag());
                    for (bool vectors : {false, true}) {
                        KernelRun run(a);
                        const std::int32_t ierr = run.Run(vectors);
                        EXPECT_GE(ierr, 0);
                        EXPECT_LT(ierr, n);
                    }
                }
            }
        }
    }
    for (int n : {2, 3, 8}) {
        CMat a = test::ZeroCMat(n);
        for (auto& row : a)
            for (auto& x : row) x = Cx(kNaN, kNaN);
        for (bool vectors : {false, true}) {
            KernelRun run(a);
            EXPECT_EQ(run.Run(vectors), n - 1) << n;  // nothing deflates below the top
        }
    }
    // Overflowing products inside the shift.
    const CMat huge = {{1e300, 1e300}, {1e300, -1e300}};
    for (bool vectors : {false, true}) {
        KernelRun run(huge);
        EXPECT_GE(run.Run(vectors), 0);
    }
}

// An exhausted budget reports the position still sought, on both paths; the
// same matrix converges with the normal budget.
TEST(EigenComplexGeneral, ExhaustedBudgetReportsFailure) {
    std::mt19937_64 rng(8);
    const CMat a = test::RandomCMat(6, rng);
    for (bool vectors : {false, true}) {
        KernelRun none(a);
        EXPECT_EQ(none.Run(vectors, 0), 5);
        KernelRun few(a);
        const std::int32_t ierr = few.Run(vectors, 4);
        EXPECT_GE(ierr, 1);
        EXPECT_LE(ierr, 5);
        KernelRun full(a);
        EXPECT_EQ(full.Run(vectors), 0);
    }
    KernelRun one({{Cx(1, 2)}});  // nothing to iterate: a zero budget suffices
    EXPECT_EQ(one.Run(true, 0), 0);
}

#ifdef CORVANE_HAVE_LAPACK
extern "C" void zgeev_(const char* jobvl, const char* jobvr, const int* n, Cx* a, const int* lda, Cx* w, Cx* vl,
                       const int* ldvl, Cx* vr, const int* ldvr, Cx* work, const int* lwork, double* rwork, int* info,
                       std::size_t, std::size_t);

// LAPACK's eigenvalues of the same matrices, matched one to one.
TEST(EigenComplexGeneral, EigenvaluesAgreeWithLapack) {
    std::mt19937_64 rng(31337);
    for (Kind kind : {Kind::General, Kind::Real, Kind::Hermitian, Kind::Upper}) {
        for (int n : {1, 2, 3, 5, 8, 13, 21, 34, 60}) {
            SCOPED_TRACE(testing::Message() << Name(kind) << " n=" << n);
            const CMat a = Generate(kind, n, rng);
            std::vector<Cx> col(static_cast<std::size_t>(n * n)), w(static_cast<std::size_t>(n)), work(static_cast<std::size_t>(4 * n));
            std::vector<double> rwork(static_cast<std::size_t>(2 * n));
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j)
                    col[static_cast<std::size_t>(j * n + i)] = a[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
            const int lwork = 4 * n, one = 1;
            int info = -1;
            zgeev_("N", "N", &n, col.data(), &n, w.data(), nullptr, &one, nullptr, &one, work.data(), &lwork,
                   rwork.data(), &info, 1, 1);
            ASSERT_EQ(info, 0);
            for (bool vectors : {false, true}) {
                KernelRun run(a);
                ASSERT_EQ(run.Run(vectors), 0);
                std::vector<bool> used(static_cast<std::size_t>(n), false);
                for (int k = 0; k < n; ++k) {
                    int best = -1;
                    double dist = INFINITY;
                    for (int j = 0; j < n; ++j)
                        if (!used[static_cast<std::size_t>(j)] && std::abs(run.Value(j) - w[static_cast<std::size_t>(k)]) < dist) {
                            dist = std::abs(run.Value(j) - w[static_cast<std::size_t>(k)]);
                            best = j;
                        }
                    ASSERT_GE(best, 0);
                    used[static_cast<std::size_t>(best)] = true;
                    EXPECT_LT(dist, 1e-10 * (1.0 + test::FrobeniusNorm(a))) << "LAPACK eigenvalue " << k;
                }
            }
        }
    }
}
#endif

}  // namespace
}  // namespace corvane
