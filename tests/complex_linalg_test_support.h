// Helpers of the complex decomposition tests: dense complex matrices on plain
// vectors, seeded random fills, products with the plain transpose, and the
// LAPACK prototypes of the complex oracle tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "arithmetic_test_support.h"
#include "core/cmatrix.h"
#include "linalg_test_support.h"

namespace corvane::test {

using CDense = std::vector<std::vector<Complex>>;

inline CDense ToCDense(const CMatrix& m) {
    CDense d(static_cast<std::size_t>(m.Rows()), std::vector<Complex>(static_cast<std::size_t>(m.Cols())));
    for (std::int32_t i = 0; i < m.Rows(); ++i)
        for (std::int32_t j = 0; j < m.Cols(); ++j) d[i][j] = m.at(i, j);
    return d;
}

inline CMatrix FromCDense(const CDense& d) {
    CMatrix m;
    EXPECT_TRUE(m.Size(static_cast<std::int32_t>(d.size()), static_cast<std::int32_t>(d[0].size())).ok());
    for (std::size_t i = 0; i < d.size(); ++i)
        for (std::size_t j = 0; j < d[i].size(); ++j)
            m.at(static_cast<std::int32_t>(i), static_cast<std::int32_t>(j)) = d[i][j];
    return m;
}

inline CDense CMultiply(const CDense& a, const CDense& b) {
    CDense c(a.size(), std::vector<Complex>(b[0].size(), Complex{0.0, 0.0}));
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t k = 0; k < b.size(); ++k)
            for (std::size_t j = 0; j < b[0].size(); ++j) c[i][j] += a[i][k] * b[k][j];
    return c;
}

// The plain transpose: no element is conjugated.
inline CDense CTranspose(const CDense& a) {
    CDense t(a[0].size(), std::vector<Complex>(a.size()));
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < a[0].size(); ++j) t[j][i] = a[i][j];
    return t;
}

inline CDense CIdentity(std::size_t n) {
    CDense d(n, std::vector<Complex>(n, Complex{0.0, 0.0}));
    for (std::size_t i = 0; i < n; ++i) d[i][i] = Complex{1.0, 0.0};
    return d;
}

// Frobenius norm of a, or of a − b.
inline double CNorm(const CDense& a) {
    double s = 0.0;
    for (const auto& row : a)
        for (Complex x : row) s += x.Real * x.Real + x.Imag * x.Imag;
    return std::sqrt(s);
}
inline double CDistance(const CDense& a, const CDense& b) {
    double s = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < a[i].size(); ++j) {
            const Complex d = a[i][j] - b[i][j];
            s += d.Real * d.Real + d.Imag * d.Imag;
        }
    return std::sqrt(s);
}

// Real and imaginary parts uniform in [-1, 1).
inline CDense RandomCDense(std::mt19937_64& rng, std::size_t m, std::size_t n) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    CDense d(m, std::vector<Complex>(n));
    for (auto& row : d)
        for (Complex& x : row) {
            x.Real = u(rng);
            x.Imag = u(rng);
        }
    return d;
}

// Well-conditioned: random plus (n, 0) on the diagonal.
inline CDense DominantCDense(std::mt19937_64& rng, std::size_t n) {
    CDense a = RandomCDense(rng, n, n);
    for (std::size_t i = 0; i < n; ++i) a[i][i] += static_cast<double>(n);
    return a;
}

// Complex symmetric (A equal to its plain transpose, not Hermitian): B·Bᵀ
// plus (n, 0) on the diagonal, mirrored exactly.
inline CDense SymmetricCDense(std::mt19937_64& rng, std::size_t n) {
    const CDense b = RandomCDense(rng, n, n);
    CDense a = CMultiply(b, CTranspose(b));
    for (std::size_t i = 0; i < n; ++i) {
        a[i][i] += static_cast<double>(n);
        for (std::size_t j = 0; j < i; ++j) a[j][i] = a[i][j];
    }
    return a;
}

inline CMatrix RealAsComplex(const Matrix& a) {
    CMatrix c;
    EXPECT_TRUE(ToCMatrix(a, &c).ok());
    return c;
}

}  // namespace corvane::test

#ifdef CORVANE_HAVE_LAPACK
extern "C" {
void zgetrf_(const int* m, const int* n, corvane::Complex* a, const int* lda, int* ipiv, int* info);
void zgetri_(const int* n, corvane::Complex* a, const int* lda, const int* ipiv, corvane::Complex* work,
             const int* lwork, int* info);
}

namespace corvane::test {

inline std::vector<Complex> CColumnMajor(const CDense& a) {
    std::vector<Complex> c(a.size() * a[0].size());
    for (std::size_t j = 0; j < a[0].size(); ++j)
        for (std::size_t i = 0; i < a.size(); ++i) c[j * a.size() + i] = a[i][j];
    return c;
}

}  // namespace corvane::test
#endif
