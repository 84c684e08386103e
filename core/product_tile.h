// The register tile of the packed product, written once for every vector
// width. V supplies Reg, kWidth (doubles per register) and Load, Store,
// Broadcast, Mul, Add as separate instructions (never a fused multiply-add).
// Included by each instruction-set file after it selects its target, so each
// gets its own code; V is local to that file, which keeps the instances apart.
#pragma once

#include <cstdint>

namespace corvane::product_detail {

template <class V, int kRows, int kVecs>
inline void ProductTile(std::int64_t depth, const double* __restrict ap, const double* __restrict bp, double* const* c,
                        std::int64_t col) {
    using Reg = typename V::Reg;
    constexpr int kW = V::kWidth;
    Reg acc[kRows][kVecs];
#pragma GCC unroll 16
    for (int r = 0; r < kRows; ++r)
#pragma GCC unroll 4
        for (int v = 0; v < kVecs; ++v) acc[r][v] = V::Load(c[r] + col + v * kW);
    // Ended by the pointer into a, which leaves 32-bit code a spare register.
    for (const double* const aEnd = ap + depth * kRows; ap != aEnd;) {
        Reg b[kVecs];
#pragma GCC unroll 4
        for (int v = 0; v < kVecs; ++v) {
            b[v] = V::Load(bp + v * kW);
            // Held in a register: the compiler may not read b from memory
            // again for each row, so a's element is the memory operand.
            __asm__("" : "+v"(b[v]));
        }
#pragma GCC unroll 16
        for (int r = 0; r < kRows; ++r) {
            const Reg a = V::Broadcast(ap + r);
#pragma GCC unroll 4
            for (int v = 0; v < kVecs; ++v) acc[r][v] = V::Add(acc[r][v], V::Mul(a, b[v]));
        }
        ap += kRows;
        bp += kVecs * kW;
    }
#pragma GCC unroll 16
    for (int r = 0; r < kRows; ++r)
#pragma GCC unroll 4
        for (int v = 0; v < kVecs; ++v) V::Store(c[r] + col + v * kW, acc[r][v]);
}

// c(i, j) = c(i, j) + a(i, k)·b(k, j) for i < m, j < q, k = 0, 1, …, p − 1 in
// this order, for fewer rows of c than a tile has, straight from the row
// arrays: a strip of kVecs registers of one row of c stays in registers while
// the rows of b pass by. With `negate` a's elements enter as −a(i, k). The
// columns past the last full register are worked one at a time, with the
// same operations.
template <class V, int kVecs>
inline void ThinProduct(const double* const* a, const double* const* b, double* const* c, std::int64_t m,
                        std::int64_t p, std::int64_t q, bool negate) {
    using Reg = typename V::Reg;
    constexpr int kW = V::kWidth;
    for (std::int64_t i = 0; i < m; ++i) {
        const double* ai = a[i];
        double* ci = c[i];
        std::int64_t j = 0;
        for (; j + kVecs * kW <= q; j += kVecs * kW) {
            Reg acc[kVecs];
#pragma GCC unroll 4
            for (int v = 0; v < kVecs; ++v) acc[v] = V::Load(ci + j + v * kW);
            for (std::int64_t k = 0; k < p; ++k) {
                const double f = negate ? -ai[k] : ai[k];
                const Reg x = V::Broadcast(&f);
                const double* bk = b[k] + j;
#pragma GCC unroll 4
                for (int v = 0; v < kVecs; ++v) acc[v] = V::Add(acc[v], V::Mul(x, V::Load(bk + v * kW)));
            }
#pragma GCC unroll 4
            for (int v = 0; v < kVecs; ++v) V::Store(ci + j + v * kW, acc[v]);
        }
        for (; j + kW <= q; j += kW) {
            Reg acc = V::Load(ci + j);
            for (std::int64_t k = 0; k < p; ++k) {
                const double f = negate ? -ai[k] : ai[k];
                acc = V::Add(acc, V::Mul(V::Broadcast(&f), V::Load(b[k] + j)));
            }
            V::Store(ci + j, acc);
        }
        for (; j < q; ++j) {
            double s = ci[j];
            for (std::int64_t k = 0; k < p; ++k) s = s + (negate ? -ai[k] : ai[k]) * b[k][j];
            ci[j] = s;
        }
    }
}

}  // namespace corvane::product_detail
