// Exact bits of the complex functions and of the arithmetic, products and
// comparisons of both element types.
#include <cmath>

#include "core/arithmetic.h"
#include "core/comparisons.h"
#include "core/global_functions.h"
#include "core/normalize.h"
#include "digest.h"

namespace corvane {
namespace {

template <class T> void Arithmetic(digest::Out& out) {
    for (const auto& [name, a] : digest::Battery<T>()) {
        const std::string n = name + ".";
        const BasicMatrix<T> b = digest::Random<T>(a.Rows(), a.Cols(), 1e-3);
        BasicMatrix<T> r, c;
        (void)Plus(a, &b, &r);
        out.Matrix(n + "plus", r);
        (void)Minus(a, &b, &r);
        out.Matrix(n + "minus", r);
        (void)TimesScalar(a, digest::NextElement<T>() * 0.1, &r);
        out.Matrix(n + "scalar", r);
        (void)Transpose(a, &r);
        out.Matrix(n + "transpose", r);
        out.Status(n + "times", Times(a, &r, &c));  // a·aᵀ
        out.Matrix(n + "times", c);
        (void)a.Clone(&c);
        (void)PlusEquals(c, &b);
        (void)MinusEquals(c, &a);
        out.Matrix(n + "in_place", c);
        double norm = 0.0;
        out.Status(n + "normalize", Normalize(a, &norm, &r));
        out.Bits(n + "normalize", norm);
        out.Matrix(n + "normalize", r);
        (void)a.Clone(&c);
        (void)NormalizeMe(c, &norm);
        out.Matrix(n + "normalize_me", c);
        bool yes = false;
        for (double tolerance : {0.0, 1e-12, 0.5}) {
            (void)IsSymmetric(a, tolerance, &yes);
            out.Int(n + "symmetric" + std::to_string(tolerance), yes);
            (void)IsEqualTo(a, &b, tolerance, &yes);
            out.Int(n + "equal" + std::to_string(tolerance), yes);
        }
    }
}

}  // namespace

CORVANE_DIGEST_CASE(arithmetic_real) { Arithmetic<double>(out); }
CORVANE_DIGEST_CASE(arithmetic_complex) { Arithmetic<Complex>(out); }

CORVANE_DIGEST_CASE(complex_functions) {
    // clang-format off
    const Complex values[] = {{1, 2}, {3, 4}, {0, 2}, {-4, -0.0}, {-3, -4}, {1e200, 1e200}, {1e-300, -7e-301},
                              {digest::Next(), digest::Next()}, {digest::Next() * 1e5, digest::Next()}};
    // clang-format on
    for (int p = 0; p < 9; ++p) {
        const std::string k = std::to_string(p);
        Complex r;
        double m = 0;
        for (int q = 0; q < 9; ++q) {
            const std::string kk = k + "_" + std::to_string(q);
            (void)CDiv(&values[p], &values[q], &r);
            out.Bits("div" + kk, r);
            (void)CMul(&values[p], &values[q], &r);
            out.Bits("mul" + kk, r);
            (void)CAdd(&values[p], &values[q], &r);
            out.Bits("add" + kk, r);
            (void)CSub(&values[p], &values[q], &r);
            out.Bits("sub" + kk, r);
        }
        (void)CSqr(&values[p], &r);
        out.Bits("sqr" + k, r);
        (void)CAbs(&values[p], &m);
        out.Bits("abs" + k, m);
        Complex q = values[p];
        q /= 3.0;
        out.Bits("divreal" + k, q);
        out.Bits("realdiv" + k, 3.0 / values[p]);
    }
}

// Products above the blocking sizes: depth 70 > 64, 600 real (300 complex)
// columns > one block of columns.
CORVANE_DIGEST_CASE(times_blocked) {
    const Matrix a = digest::Random<double>(13, 70, 1e3), b = digest::Random<double>(70, 600);
    Matrix r;
    out.Status("real", Times(a, &b, &r));
    out.Matrix("real", r);
    out.Status("mismatch", Times(a, &a, &r));
    const CMatrix c = digest::Random<Complex>(6, 67, 1e-3), d = digest::Random<Complex>(67, 300, 1e5);
    CMatrix cr;
    out.Status("complex", Times(c, &d, &cr));
    out.Matrix("complex", cr);
}

}  // namespace corvane
