// Householder QR generic over the element type. Real and complex columns are
// reflected by the same steps; the policy fixes what differs: how the column
// norm accumulates (ScaledHypot, or the principal square root of the sum of
// squares without conjugation), the sign test of the leading element, how
// the vector is scaled (by the reciprocal, or by complex division) and how
// the step factor is applied (times −1/w(k, k), or divided by −w(k, k)).
#pragma once

#include <cstdint>

#include "core/complex.h"
#include "core/numeric_helpers.h"
#include "linalg/kernel_codes.h"

namespace corvane {

template <class T>
struct HouseholderPolicy;

template <>
struct HouseholderPolicy<double> {
    static constexpr double Zero() { return 0.0; }
    static constexpr double One() { return 1.0; }
    static bool IsZero(double x) { return x == 0.0; }
    static double NormStep(double norm, double x) { return ScaledHypot(norm, x); }
    // Strictly negative: a negative zero does not count.
    static bool LeadIsNegative(double x) { return x < 0.0; }
    // The sign rule makes a real scaled lead non-negative.
    static bool ScaledLeadIsMinusOne(double) { return false; }
    // The vector is scaled by multiplying with 1 / norm.
    static double Scaler(double norm) { return 1.0 / norm; }
    static double Scale(double x, double scaler) { return x * scaler; }
    // The step factor −1 / w(k, k) multiplies each column sum.
    static double StepFactor(double wkk) { return -1.0 / wkk; }
    static double ApplyStep(double sum, double factor) { return factor * sum; }
};

template <>
struct HouseholderPolicy<Complex> {
    static constexpr Complex Zero() { return {0.0, 0.0}; }
    static constexpr Complex One() { return {1.0, 0.0}; }
    static bool IsZero(Complex x) { return x == Zero(); }
    // √(norm² + x²): the sum of squares, not of squared moduli.
    static Complex NormStep(Complex norm, Complex x) { return SquareRoot(norm * norm + x * x); }
    static bool LeadIsNegative(Complex x) { return x.Real < 0.0; }
    // The real-part test lets a lead on the negative imaginary axis scale to
    // exactly (−1, 0), whose vector would have a zero lead.
    static bool ScaledLeadIsMinusOne(Complex x) { return x.Real == -1.0 && x.Imag == 0.0; }
    // The vector is divided by the norm, element by element.
    static Complex Scaler(Complex norm) { return norm; }
    static Complex Scale(Complex x, Complex norm) { return x / norm; }
    // Each column sum is divided by −w(k, k).
    static Complex StepFactor(Complex wkk) { return -wkk; }
    static Complex ApplyStep(Complex sum, Complex negatedLead) { return sum / negatedLead; }
};

// Turns column k (rows k … m − 1) into its Householder vector: the norm
// taking the sign of the leading element, the vector scaled by it, 1 added to
// its lead. Returns R's diagonal element −norm; a zero column gives −0.0 and
// stays unreflected (*reflected false).
template <class T, class P = HouseholderPolicy<T>>
T MakeReflector(T* const* w, std::int32_t m, std::int32_t k, bool* reflected) {
    T norm = P::Zero();
    for (std::int32_t i = k; i < m; ++i) norm = P::NormStep(norm, w[i][k]);
    *reflected = !P::IsZero(norm);
    if (*reflected) {
        if (P::LeadIsNegative(w[k][k])) norm = -norm;
        const T t = P::Scaler(norm);
        for (std::int32_t i = k; i < m; ++i) w[i][k] = P::Scale(w[i][k], t);
        if (P::ScaledLeadIsMinusOne(w[k][k])) {
            // A zero lead would divide every later step by zero: take the
            // norm's other sign (negating a quotient equals dividing by the
            // negated norm, bit for bit) and the lead becomes 2.
            norm = -norm;
            for (std::int32_t i = k; i < m; ++i) w[i][k] = -w[i][k];
        }
        w[k][k] += 1.0;
    }
    return -norm;
}

// Householder QR with the vectors stored in place. The sums of the later
// columns are formed side by side, row by row (each still in increasing i),
// so the loops run along rows; sums holds n elements. The path without work
// storage: HouseholderQRBlocked gives the same bits faster.
template <class T, class P = HouseholderPolicy<T>>
int HouseholderQR(T** w, std::int32_t m, std::int32_t n, T* rdiag, T* sums) {
    for (std::int32_t k = 0; k < n; ++k) {
        bool reflected;
        rdiag[k] = MakeReflector<T, P>(w, m, k, &reflected);
        if (!reflected) continue;
        const T factor = P::StepFactor(w[k][k]);
        for (std::int32_t j = k + 1; j < n; ++j) sums[j] = P::Zero();
        for (std::int32_t i = k; i < m; ++i) {
            const T* wi = w[i];
            const T wik = wi[k];
            for (std::int32_t j = k + 1; j < n; ++j) sums[j] += wik * wi[j];
        }
        for (std::int32_t j = k + 1; j < n; ++j) sums[j] = P::ApplyStep(sums[j], factor);
        for (std::int32_t i = k; i < m; ++i) {
            T* wi = w[i];
            const T wik = wi[k];
            for (std::int32_t j = k + 1; j < n; ++j) wi[j] += sums[j] * wik;
        }
    }
    return kKernelOk;
}

// Whether reflector k of a factorisation was applied: w(k, k) = 0 or a zero
// entry of rdiag (R's diagonal, may be null) says not. A real column is left
// unreflected only when it is zero from the diagonal down, but a complex one
// also when its sum of squares vanishes, and applying its unscaled vector
// would spoil every other column of Q.
template <class T, class P = HouseholderPolicy<T>>
bool WasReflected(T* const* w, const T* rdiag, std::int32_t k) {
    return !P::IsZero(w[k][k]) && (rdiag == nullptr || !P::IsZero(rdiag[k]));
}

// Q of the Householder QR: the reflections applied to the leading columns of
// the identity, last one first, the column sums formed side by side as in
// HouseholderQR (the path without work storage).
template <class T, class P = HouseholderPolicy<T>>
int HouseholderFormQ(T* const* w, const T* rdiag, std::int32_t m, std::int32_t n, T** q, T* sums) {
    for (std::int32_t k = n - 1; k >= 0; --k) {
        for (std::int32_t i = 0; i < m; ++i) q[i][k] = P::Zero();
        q[k][k] = P::One();
        if (!WasReflected<T, P>(w, rdiag, k)) continue;
        const T factor = P::StepFactor(w[k][k]);
        for (std::int32_t j = k; j < n; ++j) sums[j] = P::Zero();
        for (std::int32_t i = k; i < m; ++i) {
            const T wik = w[i][k];
            const T* qi = q[i];
            for (std::int32_t j = k; j < n; ++j) sums[j] += wik * qi[j];
        }
        for (std::int32_t j = k; j < n; ++j) sums[j] = P::ApplyStep(sums[j], factor);
        for (std::int32_t i = k; i < m; ++i) {
            const T wik = w[i][k];
            T* qi = q[i];
            for (std::int32_t j = k; j < n; ++j) qi[j] += sums[j] * wik;
        }
    }
    return kKernelOk;
}

}  // namespace corvane
