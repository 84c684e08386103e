// Exact bits of the products and comparisons of both element types.
#include <cstdio>

#include "complex/global_functions.h"
#include "core/arithmetic.h"
#include "core/comparisons.h"
#include "core/normalize.h"
#include "digest.h"

namespace corvane {

CORVANE_DIGEST_CASE(complex_functions) {
    const Complex values[] = {{1, 2}, {3, 4}, {0, 2}, {-4, -0.0}, {-3, -4}, {1e200, 1e200}, {1e-300, -7e-301},
                              {digest::Next(), digest::Next()}, {digest::Next() * 1e5, digest::Next()}};
    char name[32];
    int k = 0;
    for (const Complex& a : values) {
        for (const Complex& b : values) {
            Complex r;
            std::snprintf(name, sizeof name, "div%d", k);
            (void)CDiv(&a, &b, &r);
            out.Bits(name, r);
            std::snprintf(name, sizeof name, "mul%d", k++);
            (void)CMul(&a, &b, &r);
            out.Bits(name, r);
        }
        Complex r;
        double m = 0;
        std::snprintf(name, sizeof name, "sqr%d", k);
        (void)CSqr(&a, &r);
        out.Bits(name, r);
        std::snprintf(name, sizeof name, "abs%d", k);
        (void)CAbs(&a, &m);
        out.Bits(name, m);
        Complex q = a;
        q /= 3.0;
        std::snprintf(name, sizeof name, "divreal%d", k);
        out.Bits(name, q);
        std::snprintf(name, sizeof name, "realdiv%d", k);
        out.Bits(name, 3.0 / a);
    }
}

CORVANE_DIGEST_CASE(elementwise) {
    Matrix a = digest::RandomMatrix(6, 7, 1e4);
    const Matrix b = digest::RandomMatrix(6, 7, 1e-3);
    Matrix r;
    (void)Plus(a, &b, &r);
    out.Matrix("plus", r);
    (void)Minus(a, &b, &r);
    out.Matrix("minus", r);
    (void)TimesScalar(a, 0.1, &r);
    out.Matrix("scalar", r);
    (void)Transpose(a, &r);
    out.Matrix("transpose", r);
    (void)PlusEquals(a, &b);
    (void)MinusEquals(a, &a);
    out.Matrix("in_place", a);
    CMatrix c = digest::RandomCMatrix(4, 5, 1e3);
    const CMatrix d = digest::RandomCMatrix(4, 5);
    CMatrix cr;
    (void)Plus(c, &d, &cr);
    out.Matrix("cplus", cr);
    (void)Minus(c, &d, &cr);
    out.Matrix("cminus", cr);
    (void)TimesScalar(c, Complex{0.1, -0.3}, &cr);
    out.Matrix("cscalar", cr);
    (void)PlusEquals(c, &d);
    out.Matrix("cplus_equals", c);
    (void)ToCMatrix(b, &cr);
    out.Matrix("to_cmatrix", cr);
}

CORVANE_DIGEST_CASE(normalize) {
    Matrix a = digest::RandomMatrix(8, 9, 7.0);
    Matrix r;
    double n = 0;
    (void)Normalize(a, &n, &r);
    out.Bits("norm", n);
    out.Matrix("normalized", r);
    (void)NormalizeMe(a, &n);
    out.Matrix("normalized_me", a);
    CMatrix c = digest::RandomCMatrix(5, 6, 3.0);
    CMatrix cr;
    (void)Normalize(c, &n, &cr);
    out.Bits("cnorm", n);
    out.Matrix("cnormalized", cr);
    (void)NormalizeMe(c, &n);
    out.Matrix("cnormalized_me", c);
}

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
