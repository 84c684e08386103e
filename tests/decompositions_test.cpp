// The decompositions and solves of both element types on many seeded random
// matrices: each factorisation reproduces its matrix, factors have their
// shape and zeros, Q is orthogonal, solutions have small residuals, and the
// outputs are sized and filled as the caller asked. The exact bits of all of
// these are pinned by the result digest.
#include "support.h"

namespace corvane::support {
namespace {

template <class T> class Decompositions : public ::testing::Test {};
using ElementTypes = ::testing::Types<double, Complex>;
TYPED_TEST_SUITE(Decompositions, ElementTypes);

constexpr I kSizes[] = {1, 2, 5, 17};
double Tolerance(I n) { return 64.0 * (n + 1) * kEps; }

// Exact zeros above (upper = false) or below the diagonal.
template <class T> bool Triangular(const Dense<T>& a, bool lower) {
    bool zeros = true;
    Each(a.rows, a.cols, [&](I i, I j) { zeros &= !(lower ? j > i : j < i) || SameBits(a(i, j), T{}); });
    return zeros;
}

TYPED_TEST(Decompositions, LUReproducesThePermutedMatrix) {
    using T = TypeParam;
    std::mt19937_64 rng(11);
    for (Kind kind : kAllKinds)
        for (I n : kSizes) {
            SCOPED_TRACE(testing::Message() << int(kind) << " n=" << n);
            const BasicMatrix<T> a = RandomMatrix<T>(rng, n, n, kind), before = Copy(a);
            BasicMatrix<T> L, U;
            Buffer<I> index;
            I sign = 0;
            const Status s = LU(a, &L, &U, &index, &sign);
            EXPECT_TRUE(SameBits(a, before));
            if (kind == Kind::Zero) {
                EXPECT_EQ(s.message(), kSingular);
                continue;
            }
            ASSERT_TRUE(s.ok());
            const Dense<T> l = ToDense(L), u = ToDense(U), dense = ToDense(a);
            EXPECT_TRUE(Triangular(l, true) && Triangular(u, false));
            Dense<T> pa(n, n);
            std::vector<bool> seen(n, false);
            I inversions = 0;
            for (I r = 0; r < n; ++r) {
                ASSERT_TRUE(index[r] >= 0 && index[r] < n && !seen[index[r]]);
                seen[index[r]] = true;
                EXPECT_TRUE(SameBits(l(r, r), Narrow<T>(1.0)));
                for (I j = 0; j < n; ++j) pa(index[r], j) = dense(r, j);  // row r goes to position index[r]
                for (I q = r + 1; q < n; ++q) inversions += index[q] < index[r];
            }
            EXPECT_EQ(sign, inversions % 2 == 0 ? 1 : -1);
            EXPECT_LE(Residual(l, u, pa), Tolerance(n));
            if (kind == Kind::Random || kind == Kind::WellConditioned || kind == Kind::Spd) {  // Random: with exchanges
                T det{};
                ASSERT_TRUE(Determinant(a, &det).ok());
                Cx product = sign;
                for (I i = 0; i < n; ++i) product *= Wide(u(i, i));
                EXPECT_LE(std::abs(Wide(det) - product), Tolerance(n) * std::abs(product));
            }
        }
}

TYPED_TEST(Decompositions, InverseAndSolvesHaveSmallResiduals) {
    using T = TypeParam;
    std::mt19937_64 rng(12);
    for (Kind kind : {Kind::Random, Kind::WellConditioned, Kind::Spd, Kind::Graded, Kind::Huge, Kind::Tiny})
        for (I n : kSizes) {
            SCOPED_TRACE(testing::Message() << int(kind) << " n=" << n);
            const BasicMatrix<T> a = RandomMatrix<T>(rng, n, n, kind), b = RandomMatrix<T>(rng, n, 3), column = RandomMatrix<T>(rng, n, 1),
                                 before = Copy(a);
            BasicMatrix<T> inverse, x, y, product;
            ASSERT_TRUE(Inverse(a, &inverse).ok());
            ASSERT_TRUE(Solve(a, &b, &x).ok());
            ASSERT_TRUE(SolveGauss(a, &column, &y).ok());
            EXPECT_TRUE(SameBits(a, before));
            const Dense<T> dense = ToDense(a);
            EXPECT_LE(Residual(dense, ToDense(inverse), Identity<T>(n)), Tolerance(n));
            EXPECT_LE(Residual(dense, ToDense(x), ToDense(b)), Tolerance(n));
            EXPECT_LE(Residual(dense, ToDense(y), ToDense(column)), Tolerance(n));
            // Solve is the inverse times the right-hand side, to the bit.
            ASSERT_TRUE(Times(inverse, &b, &product).ok());
            EXPECT_TRUE(SameBits(x, product));
        }
}

TYPED_TEST(Decompositions, QRIsOrthogonalAndReproducesTheMatrix) {
    using T = TypeParam;
    std::mt19937_64 rng(13);
    const std::pair<I, I> shapes[] = {{1, 1}, {4, 4}, {9, 5}, {30, 12}};
    for (Kind kind : {Kind::Random, Kind::RankDeficient, Kind::Graded, Kind::Huge, Kind::Tiny})
        for (auto [m, n] : shapes) {
            SCOPED_TRACE(testing::Message() << int(kind) << " " << m << "x" << n);
            const BasicMatrix<T> a = RandomMatrix<T>(rng, m, n, kind);
            BasicMatrix<T> Q, R, rAlone;
            ASSERT_TRUE(QR(a, &Q, &R).ok());
            const Dense<T> q = ToDense(Q), r = ToDense(R);
            ASSERT_TRUE(q.rows == m && q.cols == n && r.rows == n && r.cols == n);
            EXPECT_TRUE(Triangular(r, false));
            EXPECT_LE(OrthogonalityError(q), Tolerance(m));  // plain transpose for complex too
            EXPECT_LE(Residual(q, r, ToDense(a)), Tolerance(m));
            ASSERT_TRUE(QR(a, nullptr, &rAlone).ok());
            EXPECT_TRUE(SameBits(rAlone, R));
        }
}

TYPED_TEST(Decompositions, CholeskyReproducesSymmetricMatrices) {
    using T = TypeParam;
    std::mt19937_64 rng(14);
    for (I n : {1, 3, 10, 25}) {
        const BasicMatrix<T> a = RandomMatrix<T>(rng, n, n, Kind::Spd);
        BasicMatrix<T> L;
        ASSERT_TRUE(Cholesky(a, &L).ok());
        const Dense<T> l = ToDense(L);
        EXPECT_TRUE(Triangular(l, true));
        EXPECT_LE(Residual(l, Transpose(l), ToDense(a)), Tolerance(n));  // L·Lᵀ, no conjugation
    }
    // A symmetric matrix that is not positive definite: only the complex
    // factorisation (principal square roots) goes through.
    const BasicMatrix<T> a = RandomMatrix<T>(rng, 6, 6, Kind::Symmetric);
    BasicMatrix<T> L;
    const Status s = Cholesky(a, &L);
    if constexpr (std::is_same_v<T, double>) {
        EXPECT_EQ(s.message(), kNotPositiveDefinite);
    } else {
        ASSERT_TRUE(s.ok());
        EXPECT_LE(Residual(ToDense(L), Transpose(ToDense(L)), ToDense(a)), 1e-10);
    }
}

// What a caller sees of the outputs: any size is replaced, every element is
// written (Cholesky: the lower triangle only), a null output is skipped
// without changing the others, and one object given twice keeps the last.
TYPED_TEST(Decompositions, OutputsAreSizedAndFilledAsAsked) {
    using T = TypeParam;
    const BasicMatrix<T> a = Make<T>({{4, 2, 1}, {2, 5, 3}, {1, 3, 6}});
    const BasicMatrix<T> stale = Make<T>({{9, 9}, {9, 9}, {9, 9}, {9, 9}, {9, 9}});
    BasicMatrix<T> L, U, Q, R, C;
    Buffer<I> index;
    I sign = 0;
    ASSERT_TRUE(LU(a, &L, &U, &index, &sign).ok());
    ASSERT_TRUE(QR(a, &Q, &R).ok());
    BasicMatrix<T> outputs[3] = {Copy(stale), Copy(stale), Copy(stale)};
    ASSERT_TRUE(LU(a, &outputs[0], &outputs[1], nullptr, nullptr).ok());
    EXPECT_TRUE(SameBits(outputs[0], L) && SameBits(outputs[1], U));
    ASSERT_TRUE(LU(a, &outputs[2], &outputs[2], nullptr, nullptr).ok());
    EXPECT_TRUE(SameBits(outputs[2], U));
    BasicMatrix<T> self = Copy(a);
    ASSERT_TRUE(LU(self, &self, nullptr, nullptr, nullptr).ok());
    EXPECT_TRUE(SameBits(self, L));
    outputs[0] = Copy(stale), outputs[1] = Copy(stale);
    ASSERT_TRUE(QR(a, &outputs[0], &outputs[1]).ok());
    EXPECT_TRUE(SameBits(outputs[0], Q) && SameBits(outputs[1], R));
    ASSERT_TRUE(QR(a, &outputs[2], nullptr).ok());
    EXPECT_TRUE(SameBits(outputs[2], Q));
    // Cholesky into a 3 × 3 of nines keeps them above the diagonal, into a
    // new object zeros.
    BasicMatrix<T> nines = Make<T>({{9, 9, 9}, {9, 9, 9}, {9, 9, 9}});
    ASSERT_TRUE(Cholesky(a, &nines).ok());
    ASSERT_TRUE(Cholesky(a, &C).ok());
    Each(3, 3,
         [&](I i, I j) { EXPECT_TRUE(SameBits(nines.at(i, j), j > i ? Narrow<T>(9.0) : C.at(i, j)) && (j <= i || SameBits(C.at(i, j), T{}))); });
    EXPECT_TRUE(Cholesky(a, nullptr).ok());
}

// U·S·Vᵀ reproduces the matrix for every shape, singular values are
// non-negative and decreasing, V is orthogonal and U's columns are where the
// singular value is not negligible. (Each output alone giving the same bits
// is pinned by the result digest.)
TEST(SVD, FactorsEveryShapeInDecreasingOrder) {
    std::mt19937_64 rng(15);
    const std::pair<I, I> shapes[] = {{1, 1}, {1, 4}, {4, 1}, {5, 5}, {12, 7}, {7, 12}, {30, 30}};
    for (Kind kind : {Kind::Random, Kind::RankDeficient, Kind::Graded, Kind::Zero})
        for (auto [m, n] : shapes) {
            SCOPED_TRACE(testing::Message() << int(kind) << " " << m << "x" << n);
            const Matrix a = RandomMatrix<double>(rng, m, n, kind);
            Matrix U, S = Make<double>({{9, 9}, {9, 9}}), V;  // S is cleared before its diagonal is written
            ASSERT_TRUE(SVD(a, &U, &S, &V).ok());
            const Dense<double> u = ToDense(U), s = ToDense(S), v = ToDense(V);
            ASSERT_TRUE(u.rows == m && u.cols == n && s.rows == n && s.cols == n && v.rows == n && v.cols == n);
            Each(n, n, [&](I i, I j) {
                if (i != j) EXPECT_TRUE(SameBits(s(i, j), 0.0));
                else EXPECT_TRUE(s(i, i) >= 0.0 && (i == 0 || s(i, i) <= s(i - 1, i - 1)));
            });
            EXPECT_LE(Residual(Multiply(u, s), Transpose(v), ToDense(a)), Tolerance(std::max(m, n)));
            EXPECT_LE(OrthogonalityError(v), Tolerance(n));
            for (I p = 0; p < n; ++p)
                for (I r = 0; r < n; ++r) {
                    if (s(p, p) <= 1e-12 * s(0, 0) || s(r, r) <= 1e-12 * s(0, 0)) continue;
                    double dot = 0.0;
                    for (I i = 0; i < m; ++i) dot += u(i, p) * u(i, r);
                    EXPECT_NEAR(dot, p == r ? 1.0 : 0.0, Tolerance(m));
                }
        }
}

}  // namespace
}  // namespace corvane::support
