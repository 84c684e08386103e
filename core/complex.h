// The complex value and every operation on it. Each formula fixes which
// products, sums and quotients are formed and in which grouping: results are
// compared bit for bit, so do not "simplify" them.
#pragma once

#include <cmath>
#include <type_traits>

#include "core/numeric_helpers.h"

namespace corvane {

// Two doubles, real part first; crosses the automation boundary unchanged.
struct Complex {
    double Real;
    double Imag;
};
static_assert(sizeof(Complex) == 16 && std::is_standard_layout_v<Complex> && std::is_trivially_copyable_v<Complex>);

inline constexpr Complex operator+(Complex a, Complex b) { return {a.Real + b.Real, a.Imag + b.Imag}; }
inline constexpr Complex operator-(Complex a, Complex b) { return {a.Real - b.Real, a.Imag - b.Imag}; }
inline constexpr Complex operator-(Complex a) { return {-a.Real, -a.Imag}; }

// (ar·br) − (bi·ai), (br·ai) + (bi·ar): no scaling, no special cases.
inline constexpr Complex operator*(Complex a, Complex b) {
    return {(a.Real * b.Real) - (b.Imag * a.Imag), (b.Real * a.Imag) + (b.Imag * a.Real)};
}
inline constexpr Complex operator*(double d, Complex a) { return {d * a.Real, d * a.Imag}; }
inline constexpr Complex operator*(Complex a, double d) { return {d * a.Real, d * a.Imag}; }

// One-norm scaled division (EISPACK's cdiv) with every division by a computed
// quantity replaced by a multiplication with its reciprocal. No zero test: a
// zero divisor gives NaN in both parts.
inline Complex operator/(Complex a, Complex b) {
    const double s = 1.0 / (Abs(b.Real) + Abs(b.Imag));
    const double ar = s * a.Real, ai = s * a.Imag;
    const double br = s * b.Real, bi = s * b.Imag;
    const double q = 1.0 / (bi * bi + br * br);
    return {((bi * ai) + (br * ar)) * q, ((br * ai) - (bi * ar)) * q};
}

// A real divided by a complex: (d, 0) / c.
inline Complex operator/(double d, Complex c) { return Complex{d, 0.0} / c; }

// (xr + i·xi) / (yr + i·yi) on separate parts, by the same scaled division.
inline void ComplexDivideParts(double xr, double xi, double yr, double yi, double* cr, double* ci) {
    const Complex c = Complex{xr, xi} / Complex{yr, yi};
    *cr = c.Real;
    *ci = c.Imag;
}

inline Complex& operator+=(Complex& a, Complex b) { return a = a + b; }
inline Complex& operator+=(Complex& a, double d) {
    a.Real += d;
    return a;
}
inline Complex& operator-=(Complex& a, Complex b) { return a = a - b; }
inline Complex& operator*=(Complex& a, Complex b) { return a = a * b; }
inline Complex& operator/=(Complex& a, Complex b) { return a = a / b; }
// Division by a real exists only in this compound form: one reciprocal, then
// two multiplications. A binary c / d is deliberately absent, so that a
// quotient by a real is written either as this or as the complex division by
// Complex{d, 0.0}, whose bits can differ.
inline Complex& operator/=(Complex& a, double d) {
    const double t = 1.0 / d;
    a = {a.Real * t, a.Imag * t};
    return a;
}

// Exact comparison of both parts; a NaN part makes values unequal.
inline constexpr bool operator==(Complex a, Complex b) { return a.Real == b.Real && a.Imag == b.Imag; }
inline constexpr bool operator!=(Complex a, Complex b) { return !(a == b); }

// Modulus dividing by the larger part, so the square cannot overflow.
inline double Modulus(Complex c) {
    const double x = Abs(c.Real), y = Abs(c.Imag);
    if (x == 0.0) return y;
    if (y == 0.0) return x;
    if (x > y) {
        const double t = y / x;
        return x * std::sqrt(1.0 + t * t);
    }
    const double t = x / y;  // also taken when a part is NaN
    return y * std::sqrt(1.0 + t * t);
}

// modulus(a) > modulus(b); false on a tie or a NaN modulus.
inline bool MagnitudeGreater(Complex a, Complex b) { return Modulus(a) > Modulus(b); }

// Principal square root; the real part is never below zero, and a negative
// zero imaginary part counts as not negative.
inline Complex SquareRoot(Complex c) {
    if (c.Real == 0.0 && c.Imag == 0.0) return {0.0, 0.0};
    const double x = Abs(c.Real), y = Abs(c.Imag);
    double w;
    if (x >= y) {
        const double r = y / x;
        w = std::sqrt(x) * std::sqrt(0.5 * (1.0 + std::sqrt(1.0 + r * r)));
    } else {
        const double r = x / y;
        w = std::sqrt(y) * std::sqrt(0.5 * (r + std::sqrt(1.0 + r * r)));
    }
    if (c.Real >= 0.0) return {w, c.Imag / (w + w)};
    if (c.Imag >= 0.0) return {c.Imag / (w + w), w};
    return {-(c.Imag / (w + w)), -w};
}

}  // namespace corvane
