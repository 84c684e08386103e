// Exact bits of the complex decompositions and solvers.
#include <cstdint>
#include <utility>

#include "core/buffer.h"
#include "digest.h"
#include "linalg/complex_cholesky.h"
#include "linalg/complex_inverse.h"
#include "linalg/complex_lu.h"
#include "linalg/complex_qr.h"

namespace corvane {

CORVANE_DIGEST_CASE(clinalg_lu) {
    for (std::int32_t n : {1, 4, 13, 30}) {
        const CMatrix a = digest::RandomCMatrix(n, n, 1e2);
        CMatrix L, U;
        Buffer<std::int32_t> index;
        std::int32_t sign = 0;
        out.Status("lu", LU(a, &L, &U, &index, &sign));
        out.Matrix("L", L);
        out.Matrix("U", U);
        std::uint64_t folded = 0;
        for (std::int32_t v : index) folded = folded * 31u + static_cast<std::uint64_t>(v);
        out.Int("index", static_cast<std::int64_t>(folded % 1000000007u));
        out.Int("sign", sign);
        Complex det{0.0, 0.0};
        out.Status("det", Determinant(a, &det));
        out.Bits("det", det);
    }
}

CORVANE_DIGEST_CASE(clinalg_inverse_solve) {
    for (std::int32_t n : {1, 5, 17, 30}) {
        const CMatrix a = digest::RandomCMatrix(n, n, 1e-3);
        CMatrix x;
        out.Status("inverse", Inverse(a, &x));
        out.Matrix("inverse", x);
        const CMatrix b = digest::RandomCMatrix(n, 1);
        out.Status("solve", SolveGauss(a, &b, &x));
        out.Matrix("solution", x);
        const CMatrix rhs = digest::RandomCMatrix(n, 3);
        out.Status("solve_inverse", Solve(a, &rhs, &x));
        out.Matrix("solution_inverse", x);
    }
}

CORVANE_DIGEST_CASE(clinalg_cholesky) {
    for (std::int32_t n : {1, 6, 25}) {
        // Complex symmetric B·Bᵀ, and plain symmetric without a dominant
        // diagonal (pivots with negative real parts).
        const CMatrix b = digest::RandomCMatrix(n, n);
        for (int dominant = 0; dominant < 2; ++dominant) {
            CMatrix a;
            (void)a.Size(n, n);
            for (std::int32_t i = 0; i < n; ++i)
                for (std::int32_t j = 0; j <= i; ++j) {
                    Complex s{i == j && dominant != 0 ? static_cast<double>(n) : 0.0, 0.0};
                    for (std::int32_t k = 0; k < n; ++k) s += b.at(i, k) * b.at(j, k);
                    a.at(i, j) = a.at(j, i) = s;
                }
            CMatrix L;
            out.Status("cholesky", Cholesky(a, &L));
            out.Matrix("L", L);
        }
    }
}

CORVANE_DIGEST_CASE(clinalg_qr) {
    for (auto [m, n] : {std::pair{1, 1}, {5, 3}, {20, 20}, {40, 27}}) {
        const CMatrix a = digest::RandomCMatrix(m, n, 1e4);
        CMatrix Q, R;
        out.Status("qr", QR(a, &Q, &R));
        out.Matrix("Q", Q);
        out.Matrix("R", R);
    }
    // A column whose sum of squares vanishes is not reflected.
    CMatrix a;
    (void)a.Size(3, 2);
    a.at(0, 0) = {1.0, 0.0};
    a.at(1, 0) = {0.0, 1.0};
    a.at(0, 1) = {0.5, 2.0};
    a.at(1, 1) = {-1.0, 0.25};
    a.at(2, 1) = {3.0, -1.0};
    CMatrix Q, R;
    out.Status("qr_degenerate", QR(a, &Q, &R));
    out.Matrix("Q", Q);
    out.Matrix("R", R);
    // A lead on the negative imaginary axis takes the norm's other sign.
    CMatrix b;
    (void)b.Size(2, 2);
    b.at(0, 0) = {0.0, -3.0};
    b.at(0, 1) = {1.0, 0.5};
    b.at(1, 1) = {0.0, 1.0};
    out.Status("qr_negative_imaginary_lead", QR(b, &Q, &R));
    out.Matrix("Q", Q);
    out.Matrix("R", R);
}

}  // namespace corvane
