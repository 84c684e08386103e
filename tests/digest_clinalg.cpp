// Exact bits of the complex decompositions and solvers.
#include <cstdint>
#include <utility>

#include "core/buffer.h"
#include "digest.h"
#include "linalg/complex_inverse.h"
#include "linalg/complex_lu.h"

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

}  // namespace corvane
