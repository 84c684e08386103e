// Exact bits of the real decompositions and solvers.
#include <utility>

#include "core/buffer.h"
#include "digest.h"
#include "linalg/cholesky.h"
#include "linalg/inverse.h"
#include "linalg/lu.h"
#include "linalg/qr.h"
#include "linalg/solve.h"
#include "linalg/svd.h"

namespace corvane {

CORVANE_DIGEST_CASE(linalg_lu) {
    for (std::int32_t n : {1, 4, 13, 40}) {
        const BasicMatrix<double> a = digest::RandomMatrix(n, n, 1e2);
        BasicMatrix<double> L, U;
        Buffer<std::int32_t> index;
        std::int32_t sign = 0;
        out.Status("lu", LU(a, &L, &U, &index, &sign));
        out.Matrix("L", L);
        out.Matrix("U", U);
        std::uint64_t folded = 0;
        for (std::int32_t v : index) folded = folded * 31u + static_cast<std::uint64_t>(v);
        out.Int("index", static_cast<std::int64_t>(folded % 1000000007u));
        out.Int("sign", sign);
        double det = 0.0;
        out.Status("det", Determinant(a, &det));
        out.Bits("det", det);
    }
}

CORVANE_DIGEST_CASE(linalg_inverse_solve) {
    for (std::int32_t n : {1, 5, 17, 40}) {
        const BasicMatrix<double> a = digest::RandomMatrix(n, n, 1e-3);
        BasicMatrix<double> x;
        out.Status("inverse", Inverse(a, &x));
        out.Matrix("inverse", x);
        const BasicMatrix<double> b = digest::RandomMatrix(n, 1);
        out.Status("solve", SolveGauss(a, &b, &x));
        out.Matrix("solution", x);
        const BasicMatrix<double> rhs = digest::RandomMatrix(n, 3);
        out.Status("solve_inverse", Solve(a, &rhs, &x));
        out.Matrix("solution_inverse", x);
    }
}

CORVANE_DIGEST_CASE(linalg_cholesky) {
    for (std::int32_t n : {1, 6, 30}) {
        const BasicMatrix<double> b = digest::RandomMatrix(n, n);
        BasicMatrix<double> a;
        (void)a.Size(n, n);
        for (std::int32_t i = 0; i < n; ++i)
            for (std::int32_t j = 0; j <= i; ++j) {
                double s = i == j ? static_cast<double>(n) : 0.0;
                for (std::int32_t k = 0; k < n; ++k) s += b.at(i, k) * b.at(j, k);
                a.at(i, j) = a.at(j, i) = s;
            }
        BasicMatrix<double> L;
        out.Status("cholesky", Cholesky(a, &L));
        out.Matrix("L", L);
    }
}

CORVANE_DIGEST_CASE(linalg_qr) {
    for (auto [m, n] : {std::pair{1, 1}, {5, 3}, {20, 20}, {45, 30}}) {
        const BasicMatrix<double> a = digest::RandomMatrix(m, n, 1e4);
        BasicMatrix<double> Q, R;
        out.Status("qr", QR(a, &Q, &R));
        out.Matrix("Q", Q);
        out.Matrix("R", R);
    }
}

CORVANE_DIGEST_CASE(linalg_svd) {
    for (auto [m, n] : {std::pair{1, 1}, {2, 2}, {7, 4}, {4, 7}, {25, 25}, {40, 31}}) {
        const BasicMatrix<double> a = digest::RandomMatrix(m, n, 1e2);
        BasicMatrix<double> U, S, V, alone;
        out.Status("svd", SVD(a, &U, &S, &V));
        out.Matrix("U", U);
        out.Matrix("S", S);
        out.Matrix("V", V);
        out.Status("values", SVD(a, nullptr, &alone, nullptr));
        out.Matrix("values", alone);
    }
    BasicMatrix<double> deficient = digest::RandomMatrix(6, 6);
    for (std::int32_t j = 0; j < 6; ++j) deficient.at(3, j) = deficient.at(1, j) * 0.5;
    BasicMatrix<double> U, S, V;
    out.Status("deficient", SVD(deficient, &U, &S, &V));
    out.Matrix("U", U);
    out.Matrix("S", S);
    out.Matrix("V", V);
}

}  // namespace corvane
