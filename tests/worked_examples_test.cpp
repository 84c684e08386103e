// Small hand-worked cases of every decomposition, solve and eigen method,
// as rows of one table: the input, the operation and every output it gives
// (an empty expected output is not examined). A few rows explain an
// operation-order decision: the value an alternative order would give is
// stated beside, and must differ.
#include "eigen/eigen.h"
#include "linalg/cholesky.h"
#include "linalg/complex_cholesky.h"
#include "linalg/complex_inverse.h"
#include "linalg/complex_lu.h"
#include "linalg/complex_qr.h"
#include "linalg/inverse.h"
#include "linalg/lu.h"
#include "linalg/qr.h"
#include "linalg/svd.h"
#include "support.h"

namespace corvane::support {
namespace {

enum class Op { LU, Determinant, Inverse, SolveGauss, QR, Cholesky, SVD, Eigen, EigenC };
using M = Dense<Complex>;

template <class T>
M Widen(const Dense<T>& d) {
    M m(d.rows, d.cols);
    for (std::size_t k = 0; k < d.data.size(); ++k) m.data[k] = Narrow<Complex>(Wide(d.data[k]));
    return m;
}
// Real rows are written with real values; complex rows give both parts.
M R(std::initializer_list<std::initializer_list<double>> rows) { return Widen(Dense<double>(rows)); }

// The outputs of op in the order of the row (SolveGauss takes its
// right-hand side from the last column of the input).
template <class T>
std::vector<M> Perform(Op op, const BasicMatrix<T>& a) {
    BasicMatrix<T> x, y, z;
    auto outputs = [](auto&... m) { return std::vector<M>{Widen(ToDense(m))...}; };
    auto ok = [](Status s) { EXPECT_TRUE(s.ok()) << s.code(); };
    switch (op) {
        case Op::LU: {
            Buffer<I> index;
            I sign = 0;
            ok(LU(a, &x, &y, &index, &sign));
            Matrix p = ToMatrix(Dense<double>(I(index.size()), 1)), s = Make<double>({{double(sign)}});
            for (I i = 0; i < index.size(); ++i) p.at(i, 0) = index[i];
            return outputs(x, y, p, s);
        }
        case Op::Determinant: {
            T det{};
            ok(Determinant(a, &det));
            return {Widen(Dense<T>{{det}})};
        }
        case Op::Inverse: ok(Inverse(a, &x)); return outputs(x);
        case Op::SolveGauss: {
            const Dense<T> all = ToDense(a);
            Dense<T> lhs(all.rows, all.rows), rhs(all.rows, 1);
            Each(all.rows, all.cols, [&](I i, I j) { (j < all.rows ? lhs(i, j) : rhs(i, 0)) = all(i, j); });
            const BasicMatrix<T> b = ToMatrix(rhs);
            ok(SolveGauss(ToMatrix(lhs), &b, &x));
            return outputs(x);
        }
        case Op::QR: ok(QR(a, &x, &y)); return outputs(x, y);
        case Op::Cholesky: ok(Cholesky(a, &x)); return outputs(x);
        case Op::EigenC: {
            CMatrix values, vectors;
            ok(EigenC(a, &values, &vectors));
            return outputs(values, vectors);
        }
        default: break;
    }
    if constexpr (std::is_same_v<T, double>) {
        Matrix w;
        if (op == Op::SVD) ok(SVD(a, &x, &y, &z));
        if (op == Op::Eigen) ok(Eigen(a, &x, &y, &z, &w));
        return op == Op::SVD ? outputs(x, y, z) : outputs(x, y, z, w);
    }
    ADD_FAILURE() << "no such operation for this element type";
    return {};
}

struct Example {
    const char* what;
    Op op;
    bool complex;
    M input;
    std::vector<M> expected;
    double tolerance = 0.0;  // 0: the same bits; otherwise absolute, either zero sign
    M alternative = {};      // what another order of operations gives for the first output
};

constexpr double kR2 = 1.4142135623730951, kR3 = 1.7320508075688772, kThird = 1.0 / 3.0;
const M kAny;  // not examined

const Example kExamples[] = {
    {"LU equal weights keep the first row, a zero pivot becomes 1e-20", Op::LU, false, R({{1, 2}, {2, 4}}),
     {R({{1, 0}, {2, 1}}), R({{1, 2}, {0, 1e-20}}), R({{0}, {1}}), R({{1}})}},
    {"LU interchange", Op::LU, false, R({{0, 1}, {1, 0}}), {R({{1, 0}, {0, 1}}), R({{1, 0}, {0, 1}}), R({{1}, {0}}), R({{-1}})}},
    {"LU index holds positions, not the row order", Op::LU, false, R({{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}),
     {R({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}), R({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}), R({{2}, {0}, {1}}), R({{1}})}},
    {"LU weighs each row by the reciprocal of its largest element", Op::LU, false, R({{3, 10}, {2, 1}}),
     {R({{1, 0}, {1.5, 1}}), R({{2, 1}, {0, 8.5}}), R({{1}, {0}}), R({{-1}})}},
    {"LU multiplies by the reciprocal of the pivot", Op::LU, false, R({{3, 1}, {5, 1}}),
     {R({{1, 0}, {5 * kThird, 1}}), R({{3, 1}, {0, 1 - 5 * kThird}}), R({{0}, {1}}), R({{1}})}, 0.0,
     R({{1, 0}, {5.0 / 3.0, 1}})},
    {"Determinant of a singular matrix is exactly zero", Op::Determinant, false, R({{1, 2}, {2, 4}}), {R({{0}})}},
    {"Determinant divides by the pivot", Op::Determinant, false, R({{7, 3}, {5, 1}}), {R({{-8}})}, 0.0,
     R({{1.0 * 7 * (1 - 5 * (1.0 / 7) * 3)}})},
    {"Inverse scales the pivot row by the reciprocal", Op::Inverse, false, R({{3, 5}, {0, 1}}),
     {R({{kThird, -(5 * kThird)}, {0, 1}})}, 0.0, R({{kThird, -(5.0 / 3.0)}, {0, 1}})},
    {"SolveGauss scales by the reciprocal", Op::SolveGauss, false, R({{3, 5}}), {R({{5 * kThird}})}, 0.0, R({{5.0 / 3.0}})},
    {"QR of one column", Op::QR, false, R({{3}, {4}}), {R({{-0.6}, {-0.8}}), R({{-5}})}, 2e-16},
    {"QR reflects every column of the identity", Op::QR, false, R({{1, 0}, {0, 1}}), {R({{-1, 0}, {0, -1}}), R({{-1, 0}, {0, -1}})}, 1e-300},
    {"Cholesky 2x2", Op::Cholesky, false, R({{4, 2}, {2, 3}}), {R({{2, 0}, {1, kR2}})}},
    {"SVD 1x1", Op::SVD, false, R({{3}}), {R({{-1}}), R({{3}}), R({{-1}})}},
    {"SVD 1x1 negative", Op::SVD, false, R({{-3}}), {R({{-1}}), R({{3}}), R({{1}})}},
    {"SVD sorts the columns with the values", Op::SVD, false, R({{3, 0}, {0, 4}}),
     {R({{0, -1}, {-1, 0}}), R({{4, 0}, {0, 3}}), R({{0, -1}, {-1, 0}})}, 1e-300},
    {"SVD one column", Op::SVD, false, R({{1}, {2}, {2}}), {R({{-kThird}, {-2 * kThird}, {-2 * kThird}}), R({{3}}), R({{-1}})}, 1e-15},
    {"SVD rank 1", Op::SVD, false, R({{2, 0}, {0, 0}}), {kAny, R({{2, 0}, {0, 0}}), kAny}, 1e-300},
    {"Eigen rotation: conjugate pair, largest part 1", Op::Eigen, false, R({{0, -1}, {1, 0}}),
     {R({{0}, {0}}), R({{1}, {-1}}), R({{-1, -1}, {0, 0}}), R({{0, -0.0}, {1, -1}})}},
    {"Eigen diagonal: descending modulus", Op::Eigen, false, R({{1, 0, 0}, {0, -5, 0}, {0, 0, 3}}),
     {R({{-5}, {3}, {1}}), R({{0}, {0}, {0}}), R({{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}), kAny}, 1e-300},
    {"Eigen equal moduli keep their position", Op::Eigen, false, R({{0, 2}, {2, 0}}), {R({{-2}, {2}}), R({{0}, {0}}), kAny, kAny}, 1e-15},
    {"EigenC of a real rotation", Op::EigenC, false, R({{0, -1}, {1, 0}}),
     {M{{{0, 1}}, {{0, -1}}}, M{{{-1, 0}, {-1, 0}}, {{0, 1}, {0, -1}}}}, 1e-300},
    {"Complex LU zero pivot", Op::LU, true, R({{1, 2}, {2, 4}}), {R({{1, 0}, {2, 1}}), R({{1, 2}, {0, 1e-20}}), R({{0}, {1}}), R({{1}})}},
    {"Complex LU weighs by modulus", Op::LU, true, M{{{3, 3}, {10, 0}}, {{5, 0}, {10, 0}}}, {kAny, kAny, R({{1}, {0}}), R({{-1}})}},
    {"Complex determinant of i times the identity", Op::Determinant, true, M{{{0, 1}, {0, 0}}, {{0, 0}, {0, 1}}}, {R({{-1}})}, 1e-300},
    {"Complex Cholesky takes the principal root", Op::Cholesky, true, R({{1, 2}, {2, 1}}), {M{{{1, 0}, {0, 0}}, {{2, 0}, {0, kR3}}}}},
    {"Complex QR of one column", Op::QR, true, R({{3}, {4}}), {R({{-0.6}, {-0.8}}), M{{{-5, -0.0}}}}, 2e-16},
    {"Complex QR leaves a column of zero square sum", Op::QR, true, M{{{1, 0}}, {{0, 1}}}, {R({{1}, {0}}), M{{{-0.0, -0.0}}}}},
    {"Complex EigenC diagonal: descending modulus, ties by row", Op::EigenC, true,
     M{{{1, 1}, {0, 0}, {0, 0}}, {{0, 0}, {-5, 0}, {0, 0}}, {{0, 0}, {0, 0}, {0, 5}}},
     {M{{{-5, 0}}, {{0, 5}}, {{1, 1}}}, R({{0, 0, 1}, {1, 0, 0}, {0, 1, 0}})}, 1e-300},
};

::testing::AssertionResult Matches(const M& actual, const M& expected, double tolerance) {
    if (tolerance == 0.0) return SameBits(actual, expected);
    if (actual.rows != expected.rows || actual.cols != expected.cols) return ::testing::AssertionFailure() << "shape";
    for (std::size_t k = 0; k < actual.data.size(); ++k)
        if (!(std::abs(Wide(actual.data[k]) - Wide(expected.data[k])) <= tolerance))
            return ::testing::AssertionFailure() << "element " << k << ": " << actual.data[k] << " vs " << expected.data[k];
    return ::testing::AssertionSuccess();
}

TEST(WorkedExamples, EveryRowGivesItsOutputs) {
    for (const Example& row : kExamples) {
        SCOPED_TRACE(row.what);
        std::vector<M> actual;
        if (row.complex) {
            actual = Perform(row.op, ToMatrix(row.input));
        } else {
            Dense<double> real(row.input.rows, row.input.cols);
            for (std::size_t k = 0; k < real.data.size(); ++k) real.data[k] = row.input.data[k].Real;
            actual = Perform(row.op, ToMatrix(real));
        }
        ASSERT_GE(actual.size(), row.expected.size());
        for (std::size_t k = 0; k < row.expected.size(); ++k)
            EXPECT_TRUE(row.expected[k].rows == 0 || Matches(actual[k], row.expected[k], row.tolerance)) << "output " << k;
        EXPECT_TRUE(row.alternative.rows == 0 || !SameBits(row.alternative, row.expected[0]));
    }
}

}  // namespace
}  // namespace corvane::support
