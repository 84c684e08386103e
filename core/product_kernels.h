// Matrix product kernels on 0-based row-pointer arrays: c (m × q, every
// element +0.0 on entry) receives a (m × p) times b (p × q). Each element is
// the plain dot product s = 0; s = s + a(i, k)·b(k, j) for k = 0, 1, …, p − 1,
// in double precision with no reordering. Both kernels form exactly these
// operations for every element; they differ only in the order in which the
// elements are worked on, so their results are identical bit for bit.
#pragma once

#include <cstdint>

namespace corvane {

// The straightforward form: one dot product per element, row by row.
template <class T>
void MatrixProductDot(const T* const* a, const T* const* b, T* const* c, std::int32_t m, std::int32_t p,
                      std::int32_t q) {
    for (std::int32_t i = 0; i < m; ++i) {
        for (std::int32_t j = 0; j < q; ++j) {
            T s{};
            for (std::int32_t k = 0; k < p; ++k) s = s + a[i][k] * b[k][j];
            c[i][j] = s;
        }
    }
}

namespace product_detail {

template <bool kSubtract, class T>
inline T Step(T c, T product) {
    if constexpr (kSubtract)
        return c - product;
    else
        return c + product;
}

// c_r(j) = c_r(j) + a_r·b(j) (with kSubtract c_r(j) − a_r·b(j)) for `rows`
// rows of c sharing one row of b; the loop over j runs along contiguous memory
// and vectorises lane by lane.
template <class T, int kRows, bool kSubtract>
inline void AddRowProducts(T* const* c, const T* a, const T* __restrict bk, std::int64_t n) {
    if constexpr (kRows == 4) {
        T* __restrict c0 = c[0];
        T* __restrict c1 = c[1];
        T* __restrict c2 = c[2];
        T* __restrict c3 = c[3];
        const T a0 = a[0], a1 = a[1], a2 = a[2], a3 = a[3];
        for (std::int64_t j = 0; j < n; ++j) {
            const T bj = bk[j];
            c0[j] = Step<kSubtract>(c0[j], a0 * bj);
            c1[j] = Step<kSubtract>(c1[j], a1 * bj);
            c2[j] = Step<kSubtract>(c2[j], a2 * bj);
            c3[j] = Step<kSubtract>(c3[j], a3 * bj);
        }
    } else {
        T* __restrict c0 = c[0];
        const T a0 = a[0];
        for (std::int64_t j = 0; j < n; ++j) c0[j] = Step<kSubtract>(c0[j], a0 * bk[j]);
    }
}

}  // namespace product_detail

// The same sums accumulated in place in c: blocks of columns of c and of
// depth k keep the working rows of b and c in cache, and four rows of c share
// each row of b. Depth blocks are taken in increasing k, so every element
// still receives its products in increasing k, one addition at a time.
// With kSubtract, c receives c − a·b: each product is subtracted (for complex
// elements, adding the product of −a(i, k) could differ in the sign of a zero).
template <class T, bool kSubtract = false>
void MatrixProductBlocked(const T* const* a, const T* const* b, T* const* c, std::int32_t m, std::int32_t p,
                          std::int32_t q) {
    constexpr std::int64_t kColBlock = 4096 / static_cast<std::int64_t>(sizeof(T));  // 4 KiB of a row of c
    constexpr std::int64_t kDepthBlock = 64;
    T* rowsOfC[4];
    T aik[4];
    for (std::int64_t jb = 0; jb < q; jb += kColBlock) {
        const std::int64_t jn = q - jb < kColBlock ? q - jb : kColBlock;
        for (std::int64_t kb = 0; kb < p; kb += kDepthBlock) {
            const std::int64_t kEnd = p - kb < kDepthBlock ? p : kb + kDepthBlock;
            std::int64_t i = 0;
            for (; m - i >= 4; i += 4) {
                for (int r = 0; r < 4; ++r) rowsOfC[r] = c[i + r] + jb;
                for (std::int64_t k = kb; k < kEnd; ++k) {
                    for (int r = 0; r < 4; ++r) aik[r] = a[i + r][k];
                    product_detail::AddRowProducts<T, 4, kSubtract>(rowsOfC, aik, b[k] + jb, jn);
                }
            }
            for (; i < m; ++i) {
                rowsOfC[0] = c[i] + jb;
                for (std::int64_t k = kb; k < kEnd; ++k) {
                    aik[0] = a[i][k];
                    product_detail::AddRowProducts<T, 1, kSubtract>(rowsOfC, aik, b[k] + jb, jn);
                }
            }
        }
    }
}

}  // namespace corvane
