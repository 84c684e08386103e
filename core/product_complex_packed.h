// The packed matrix product for complex elements, the counterpart of
// product_packed.h: panels of a and b are copied with real and imaginary parts
// apart, and a register tile of c is updated by an instruction-set-specific
// routine. Every element still receives c = c + a(i, k)·b(k, j) (or
// c − a(i, k)·b(k, j)) for k = 0, 1, …, p − 1 with Complex's own operations,
// so the bits are those of the straightforward loop.
#pragma once

#include <cstdint>

#include "core/complex.h"

namespace corvane {

// The tile of c (rows × cols) as parts re and im, rows after rows; ap and bp
// as ComplexProductTile in core/product_complex_tile.h describes them.
using ComplexTileFn = void (*)(std::int64_t depth, const double* ap, const double* bp, double* re, double* im);

struct ComplexProductKernel {
    int rows;  // of the register tile of c
    int cols;
    ComplexTileFn add;       // c + a·b
    ComplexTileFn subtract;  // c − a·b
};

// Null where the build has no such set. Call only when ActiveInstructionSet() allows.
const ComplexProductKernel* Avx2ComplexProductKernel() noexcept;
const ComplexProductKernel* Avx512ComplexProductKernel() noexcept;

// Doubles of packing storage the product below needs for these sizes; it
// never grows when a size shrinks.
std::int64_t ComplexPackedStorage(const ComplexProductKernel& kernel, std::int32_t m, std::int32_t p,
                                  std::int32_t q) noexcept;

// c (m × q) plus (or, with subtract, less) a (m × p) times b (p × q), in
// place. False (c untouched) when the packing storage cannot be obtained.
// `storage`, when given, holds ComplexPackedStorage doubles and is used
// instead of storage of the call's own.
[[nodiscard]] bool ComplexProductPacked(const ComplexProductKernel& kernel, const Complex* const* a,
                                        const Complex* const* b, Complex* const* c, std::int32_t m, std::int32_t p,
                                        std::int32_t q, bool subtract, double* storage = nullptr) noexcept;

}  // namespace corvane
