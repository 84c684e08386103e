// The packed matrix product for double elements: c (m × q, every element +0.0
// on entry) receives a (m × p) times b (p × q) on 0-based row-pointer arrays.
// Panels of b and a are copied into contiguous, zero-padded blocks, and a
// register tile of c (rows × cols) is updated by one instruction-set-specific
// routine. Every element still receives s = s + a(i, k)·b(k, j) for
// k = 0, 1, …, p − 1, one rounded multiply and one rounded add at a time:
// depth blocks are taken in increasing k and c holds the sums between them,
// so the bits are those of the straightforward dot product.
#pragma once

#include <cstdint>

namespace corvane {

// c[r][col + j] = c[r][col + j] + ap[k·rows + r]·bp[k·cols + j] for r < rows,
// j < cols, k = 0, 1, …, depth − 1 in this order.
using ProductTileFn = void (*)(std::int64_t depth, const double* ap, const double* bp, double* const* c,
                               std::int64_t col);

// c (m × q) plus a (m × p, with `negate` −a) times b (p × q) in place,
// without packing: for products too small in one dimension to repay it.
using ThinProductFn = void (*)(const double* const* a, const double* const* b, double* const* c, std::int64_t m,
                               std::int64_t p, std::int64_t q, bool negate);

struct PackedProductKernel {
    int rows;  // of the register tile of c
    int cols;
    ProductTileFn tile;
    ThinProductFn thin;
};

// The tile routines of the wider instruction sets; null where the build has
// none. Call them only when ActiveInstructionSet() allows.
const PackedProductKernel* Avx2ProductKernel() noexcept;
const PackedProductKernel* Avx512ProductKernel() noexcept;

// Doubles of packing storage the product below needs for these sizes; it
// never grows when a size shrinks.
std::int64_t PackedStorage(const PackedProductKernel& kernel, std::int32_t m, std::int32_t p, std::int32_t q) noexcept;

// False (c untouched) when the packing storage cannot be obtained. With
// `negate`, a's elements enter as −a(i, k): c receives c + (−a)·b, which is
// c − a·b bit for bit. `storage`, when given, holds PackedStorage doubles and
// is used instead of storage of the call's own.
[[nodiscard]] bool MatrixProductPacked(const PackedProductKernel& kernel, const double* const* a,
                                       const double* const* b, double* const* c, std::int32_t m, std::int32_t p,
                                       std::int32_t q, bool negate = false, double* storage = nullptr) noexcept;

}  // namespace corvane
