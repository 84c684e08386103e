// The product that carries a panel of elimination steps to the rows that are
// not its pivot rows: c(i, j) = c(i, j) − f(i, s)·u(s, j) for s = 0, 1, …,
// depth − 1 in this order, one rounded multiply and one rounded subtraction
// at a time.
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/complex.h"
#include "core/product_choice.h"

namespace corvane {

// Real elements: the packed kernels (c + (−f)·u is c − f·u bit for bit).
inline void SubtractStepProduct(const double* const* f, const double* const* u, double* const* c, std::int32_t m,
                                std::int32_t depth, std::int32_t width) {
    SubtractProduct(f, u, c, m, depth, width);
}

// Complex elements: the real part of (−f)·u is −x + y where f·u has x − y,
// which is +0 where x − y is +0, and −0 − (+0) is not −0 + (+0); so the
// product is subtracted as it is. Four rows share each row of u, over
// columns a few kilobytes wide.
inline void SubtractStepProduct(const Complex* const* f, const Complex* const* u, Complex* const* c, std::int32_t m,
                                std::int32_t depth, std::int32_t width) {
    constexpr std::int32_t kColumns = 256;
    for (std::int32_t j0 = 0; j0 < width; j0 += kColumns) {
        const std::int32_t jn = std::min(kColumns, width - j0);
        std::int32_t i = 0;
        for (; i + 4 <= m; i += 4) {
            Complex* c0 = c[i] + j0;
            Complex* c1 = c[i + 1] + j0;
            Complex* c2 = c[i + 2] + j0;
            Complex* c3 = c[i + 3] + j0;
            for (std::int32_t s = 0; s < depth; ++s) {
                const Complex f0 = f[i][s], f1 = f[i + 1][s], f2 = f[i + 2][s], f3 = f[i + 3][s];
                const Complex* us = u[s] + j0;
                for (std::int32_t j = 0; j < jn; ++j) {
                    const Complex x = us[j];
                    c0[j] = c0[j] - f0 * x;
                    c1[j] = c1[j] - f1 * x;
                    c2[j] = c2[j] - f2 * x;
                    c3[j] = c3[j] - f3 * x;
                }
            }
        }
        for (; i < m; ++i) {
            Complex* ci = c[i] + j0;
            for (std::int32_t s = 0; s < depth; ++s) {
                const Complex fs = f[i][s];
                const Complex* us = u[s] + j0;
                for (std::int32_t j = 0; j < jn; ++j) ci[j] = ci[j] - fs * us[j];
            }
        }
    }
}

}  // namespace corvane
