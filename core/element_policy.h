// The two points where the shared matrix operations treat real and complex
// elements differently: how the scale of Normalize is chosen, and how a pair
// of elements is tested against a tolerance. Sums, products and the scaling by
// a real factor are written once with the element's own operators.
#pragma once

#include <cmath>

#include "core/complex.h"
#include "core/numeric_helpers.h"

namespace corvane {

template <class T>
struct ElementPolicy;

template <>
struct ElementPolicy<double> {
    // The signed element of largest magnitude: the first one met wins among
    // equal magnitudes, and a NaN is never chosen (its comparison is false).
    class Scale {
    public:
        void Visit(double a) {
            if (Abs(a) > Abs(n_)) n_ = a;
        }
        double Value() const { return n_; }

    private:
        double n_ = 0.0;
    };

    // Absolute and non-strict; a NaN difference does not exceed the tolerance.
    static bool Differs(double a, double b, double maxDifference) { return Abs(a - b) > maxDifference; }
};

template <>
struct ElementPolicy<Complex> {
    // The first real part and, independently, the first imaginary part of
    // largest magnitude; the imaginary one is taken only when strictly larger,
    // so the real part wins a tie.
    class Scale {
    public:
        void Visit(const Complex& a) {
            if (Abs(a.Real) > Abs(r_)) r_ = a.Real;
            if (Abs(a.Imag) > Abs(i_)) i_ = a.Imag;
        }
        double Value() const { return Abs(i_) > Abs(r_) ? i_ : r_; }

    private:
        double r_ = 0.0;
        double i_ = 0.0;
    };

    // The parts are tested separately, the real part first; the modulus of the
    // difference is not used.
    static bool Differs(const Complex& a, const Complex& b, double maxDifference) {
        return Abs(a.Real - b.Real) > maxDifference || Abs(a.Imag - b.Imag) > maxDifference;
    }
};

}  // namespace corvane
