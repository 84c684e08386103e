// Helpers shared by the complex eigen tests: seeded random complex matrices,
// a runner for the kernel on its own work storage, and eigenpair residuals.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <random>
#include <vector>

#include "core/buffer.h"
#include "core/row_store.h"
#include "eigen/complex_eigen.h"

namespace corvane::test {

using Cx = std::complex<double>;
using CMat = std::vector<std::vector<Cx>>;  // row-major, n × n

inline CMat ZeroCMat(int n) { return CMat(static_cast<std::size_t>(n), std::vector<Cx>(static_cast<std::size_t>(n))); }

// Uniform parts in [-1, 1).
inline CMat RandomCMat(int n, std::mt19937_64& rng) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    CMat a = ZeroCMat(n);
    for (auto& row : a)
        for (auto& x : row) x = Cx(u(rng), u(rng));
    return a;
}

inline CMat Multiply(const CMat& a, const CMat& b) {
    const auto n = a.size();
    CMat c = ZeroCMat(static_cast<int>(n));
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t k = 0; k < n; ++k)
            for (std::size_t j = 0; j < n; ++j) c[i][j] += a[i][k] * b[k][j];
    return c;
}

inline double FrobeniusNorm(const CMat& a) {
    double s = 0.0;
    for (const auto& row : a)
        for (const auto& x : row) s += std::norm(x);
    return std::sqrt(s);
}

// The kernel's inputs, outputs and work storage for one matrix.
struct KernelRun {
    int n = 0;
    RowStore<double> ar, ai, zr, zi;
    Buffer<double> wr, wi, fv, ortr, orti;
    std::int32_t ierr = -1;

    explicit KernelRun(const CMat& a) : n(static_cast<int>(a.size())) {
        EXPECT_TRUE(ar.Allocate(n, n) && ai.Allocate(n, n) && zr.Allocate(n, n) && zi.Allocate(n, n));
        EXPECT_TRUE(wr.Allocate(n) && wi.Allocate(n) && fv.Allocate(n) && ortr.Allocate(n) && orti.Allocate(n));
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                ar[i][j] = a[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)].real();
                ai[i][j] = a[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)].imag();
            }
    }

    std::int32_t Run(bool vectors, std::int64_t budget = kComplexQRDefaultBudget) {
        ierr = EigenComplexGeneral(n - 1, n - 1, ar.data(), ai.data(), wr.data(), wi.data(), vectors, zr.data(),
                                   zi.data(), fv.data(), ortr.data(), orti.data(), budget);
        return ierr;
    }

    Cx Value(int j) const { return {wr[j], wi[j]}; }
    Cx Vector(int i, int j) const { return {zr[i][j], zi[i][j]}; }
};

// ‖A·v − λ·v‖ / (‖A‖·‖v‖) for column j of a finished run (‖A‖ Frobenius);
// infinite for a zero vector.
inline double RelativeResidual(const CMat& a, const KernelRun& run, int j) {
    const int n = run.n;
    double r2 = 0.0, v2 = 0.0;
    for (int i = 0; i < n; ++i) {
        Cx s = 0.0;
        for (int k = 0; k < n; ++k) s += a[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)] * run.Vector(k, j);
        r2 += std::norm(s - run.Value(j) * run.Vector(i, j));
        v2 += std::norm(run.Vector(i, j));
    }
    if (v2 == 0.0) return INFINITY;
    const double an = FrobeniusNorm(a);
    return an == 0.0 ? std::sqrt(r2 / v2) : std::sqrt(r2 / v2) / an;
}

// The scaling rule: the real or imaginary part of largest magnitude in the
// column is +1 (up to the rounding of one reciprocal) and nothing is larger.
inline void ExpectScaledColumn(const KernelRun& run, int j) {
    double best = 0.0, value = 0.0;
    for (int i = 0; i < run.n; ++i)
        for (double part : {run.zr[i][j], run.zi[i][j]})
            if (std::fabs(part) > std::fabs(best)) best = value = part;
    EXPECT_NEAR(value, 1.0, 4e-16) << "column " << j;
}

}  // namespace corvane::test
