// The product that carries a panel of elimination steps to the rows that are
// not its pivot rows: c(i, j) = c(i, j) − f(i, s)·u(s, j) for s = 0, 1, …,
// depth − 1 in this order, one rounded multiply and one rounded subtraction
// at a time.
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/complex.h"
#include "core/product_choice.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvane {

// Real elements: the packed kernels (c + (−f)·u is c − f·u bit for bit).
inline void SubtractStepProduct(const double* const* f, const double* const* u, double* const* c, std::int32_t m,
                                std::int32_t depth, std::int32_t width) {
    SubtractProduct(f, u, c, m, depth, width);
}

// Complex elements: the real part of (−f)·u is −x + y where f·u has x − y,
// which is +0 where x − y is +0, and −0 − (+0) is not −0 + (+0); so the
// product is subtracted as it is. With SSE2 one register holds an element:
// f·x is (fr, fr)·(xr, xi) + (−fi, fi)·(xi, xr), whose parts are
// fr·xr − fi·xi and fr·xi + fi·xr exactly as the scalar product forms them.
// kRows rows share each element of u.
template <int kRows>
inline void SubtractComplexRows(const Complex* const* f, const Complex* const* u, Complex* const* c,
                                std::int32_t depth, std::int32_t j0, std::int32_t jn) {
#if defined(__SSE2__)
    // Row addresses in locals: the stores may alias any memory whose address
    // is taken. Two steps per pass over a row keep its element in a register
    // between them.
    double* rows[kRows];
    for (int r = 0; r < kRows; ++r) rows[r] = reinterpret_cast<double*>(c[r] + j0);
    std::int32_t s = 0;
    for (; s + 2 <= depth; s += 2) {
        __m128d same0[kRows], cross0[kRows], same1[kRows], cross1[kRows];
        for (int r = 0; r < kRows; ++r) {
            same0[r] = _mm_set1_pd(f[r][s].Real);
            cross0[r] = _mm_set_pd(f[r][s].Imag, -f[r][s].Imag);
            same1[r] = _mm_set1_pd(f[r][s + 1].Real);
            cross1[r] = _mm_set_pd(f[r][s + 1].Imag, -f[r][s + 1].Imag);
        }
        const double* u0 = reinterpret_cast<const double*>(u[s] + j0);
        const double* u1 = reinterpret_cast<const double*>(u[s + 1] + j0);
        for (std::int32_t j = 0; j < 2 * jn; j += 2) {
            const __m128d x0 = _mm_loadu_pd(u0 + j), x1 = _mm_loadu_pd(u1 + j);
            const __m128d swapped0 = _mm_shuffle_pd(x0, x0, 1), swapped1 = _mm_shuffle_pd(x1, x1, 1);
            for (int r = 0; r < kRows; ++r) {
                __m128d e = _mm_loadu_pd(rows[r] + j);
                e = _mm_sub_pd(e, _mm_add_pd(_mm_mul_pd(same0[r], x0), _mm_mul_pd(cross0[r], swapped0)));
                e = _mm_sub_pd(e, _mm_add_pd(_mm_mul_pd(same1[r], x1), _mm_mul_pd(cross1[r], swapped1)));
                _mm_storeu_pd(rows[r] + j, e);
            }
        }
    }
    for (; s < depth; ++s) {
        __m128d same[kRows], cross[kRows];
        for (int r = 0; r < kRows; ++r) {
            same[r] = _mm_set1_pd(f[r][s].Real);
            cross[r] = _mm_set_pd(f[r][s].Imag, -f[r][s].Imag);
        }
        const double* us = reinterpret_cast<const double*>(u[s] + j0);
        for (std::int32_t j = 0; j < 2 * jn; j += 2) {
            const __m128d x = _mm_loadu_pd(us + j);
            const __m128d swapped = _mm_shuffle_pd(x, x, 1);
            for (int r = 0; r < kRows; ++r) {
                const __m128d product = _mm_add_pd(_mm_mul_pd(same[r], x), _mm_mul_pd(cross[r], swapped));
                _mm_storeu_pd(rows[r] + j, _mm_sub_pd(_mm_loadu_pd(rows[r] + j), product));
            }
        }
    }
#else
    for (std::int32_t s = 0; s < depth; ++s)
        for (int r = 0; r < kRows; ++r) {
            const Complex fs = f[r][s];
            const Complex* us = u[s] + j0;
            Complex* cr = c[r] + j0;
            for (std::int32_t j = 0; j < jn; ++j) cr[j] = cr[j] - fs * us[j];
        }
#endif
}

// Columns a few kilobytes wide, so that the rows of c worked together stay
// in the first-level cache through the whole depth.
inline void SubtractStepProduct(const Complex* const* f, const Complex* const* u, Complex* const* c, std::int32_t m,
                                std::int32_t depth, std::int32_t width) {
    constexpr std::int32_t kColumns = 192;
    for (std::int32_t j0 = 0; j0 < width; j0 += kColumns) {
        const std::int32_t jn = std::min(kColumns, width - j0);
        std::int32_t i = 0;
        for (; i + 2 <= m; i += 2) SubtractComplexRows<2>(f + i, u, c + i, depth, j0, jn);
        for (; i < m; ++i) SubtractComplexRows<1>(f + i, u, c + i, depth, j0, jn);
    }
}

}  // namespace corvane
