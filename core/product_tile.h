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

}  // namespace corvane::product_detail
