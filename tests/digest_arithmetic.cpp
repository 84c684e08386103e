// Exact bits of the products and comparisons of both element types.
#include "core/arithmetic.h"
#include "core/comparisons.h"
#include "digest.h"

namespace corvane {

CORVANE_DIGEST_CASE(times_real) {
    const Matrix a = digest::RandomMatrix(13, 70, 1e3);
    const Matrix b = digest::RandomMatrix(70, 600);
    Matrix r;
    out.Status("status", Times(a, &b, &r));
    out.Matrix("product", r);
    out.Bits("first", r.at(0, 0));
    Matrix sq = digest::RandomMatrix(9, 9);
    out.Status("self_status", Times(sq, &sq, &r));
    out.Matrix("self", r);
    out.Status("mismatch", Times(a, &a, &r));
}

CORVANE_DIGEST_CASE(times_complex) {
    const CMatrix a = digest::RandomCMatrix(6, 67, 1e-3);
    const CMatrix b = digest::RandomCMatrix(67, 300, 1e5);
    CMatrix r;
    out.Status("status", Times(a, &b, &r));
    out.Matrix("product", r);
    out.Bits("last", r.at(5, 299));
}

CORVANE_DIGEST_CASE(comparisons) {
    Matrix a = digest::RandomMatrix(5, 5);
    Matrix t = digest::RandomMatrix(5, 5);
    for (std::int32_t i = 0; i < 5; ++i)
        for (std::int32_t j = 0; j < 5; ++j) t.at(i, j) = a.at(i, j) + a.at(j, i);
    t.at(3, 1) += 1e-10;
    bool r = false;
    (void)IsSymmetric(t, 1e-9, &r);
    out.Int("symmetric_t", r);
    (void)IsSymmetric(t, 1e-11, &r);
    out.Int("symmetric_t_tight", r);
    (void)IsEqualTo(a, &t, 0.5, &r);
    out.Int("equal_at", r);
    CMatrix c = digest::RandomCMatrix(4, 4);
    (void)IsSymmetric(c, 1e-9, &r);
    out.Int("symmetric_c", r);
    (void)IsEqualTo(c, &c, 0.0, &r);
    out.Int("equal_cc", r);
}

}  // namespace corvane
