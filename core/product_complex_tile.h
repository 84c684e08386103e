// The register tile of the packed complex product, written once for every
// vector width (V as in product_tile.h, plus Sub). Real and imaginary parts
// travel in separate registers, so each lane is one element of c and gets
// exactly the operations of Complex's operators: the product
// ((ar·br) − (bi·ai), (br·ai) + (bi·ar)), then c + product, or with kSubtract
// c − product. Included by each instruction-set file after it selects its target.
#pragma once

#include <cstdint>

namespace corvane::product_detail {

// re/im: the tile of c as kRows rows of kVecs·kWidth parts each, contiguous.
// ap: per k, kRows real parts then kRows imaginary parts of a; bp: per k,
// kVecs·kWidth real parts then as many imaginary parts of b.
template <class V, int kRows, int kVecs, bool kSubtract>
inline void ComplexProductTile(std::int64_t depth, const double* __restrict ap, const double* __restrict bp,
                               double* __restrict re, double* __restrict im) {
    using Reg = typename V::Reg;
    constexpr int kW = V::kWidth, kCols = kVecs * kW;
    Reg accRe[kRows][kVecs], accIm[kRows][kVecs];
#pragma GCC unroll 8
    for (int r = 0; r < kRows; ++r)
#pragma GCC unroll 4
        for (int v = 0; v < kVecs; ++v) {
            accRe[r][v] = V::Load(re + r * kCols + v * kW);
            accIm[r][v] = V::Load(im + r * kCols + v * kW);
        }
    for (std::int64_t k = 0; k < depth; ++k) {
        Reg bRe[kVecs], bIm[kVecs];
#pragma GCC unroll 4
        for (int v = 0; v < kVecs; ++v) {
            bRe[v] = V::Load(bp + v * kW);
            bIm[v] = V::Load(bp + kCols + v * kW);
        }
#pragma GCC unroll 8
        for (int r = 0; r < kRows; ++r) {
            const Reg aRe = V::Broadcast(ap + r);
            const Reg aIm = V::Broadcast(ap + kRows + r);
#pragma GCC unroll 4
            for (int v = 0; v < kVecs; ++v) {
                const Reg pRe = V::Sub(V::Mul(aRe, bRe[v]), V::Mul(bIm[v], aIm));
                const Reg pIm = V::Add(V::Mul(bRe[v], aIm), V::Mul(bIm[v], aRe));
                if constexpr (kSubtract) {
                    accRe[r][v] = V::Sub(accRe[r][v], pRe);
                    accIm[r][v] = V::Sub(accIm[r][v], pIm);
                } else {
                    accRe[r][v] = V::Add(accRe[r][v], pRe);
                    accIm[r][v] = V::Add(accIm[r][v], pIm);
                }
            }
        }
        ap += 2 * kRows;
        bp += 2 * kCols;
    }
#pragma GCC unroll 8
    for (int r = 0; r < kRows; ++r)
#pragma GCC unroll 4
        for (int v = 0; v < kVecs; ++v) {
            V::Store(re + r * kCols + v * kW, accRe[r][v]);
            V::Store(im + r * kCols + v * kW, accIm[r][v]);
        }
}

}  // namespace corvane::product_detail
