// The one place where the matrix product picks its kernel: the packed product
// with the widest tile routine the processor allows (ActiveInstructionSet),
// the blocked kernel otherwise, for complex elements and for small products
// where packing does not pay. All give the same bits.
#pragma once

#include <cstdint>

#include "core/complex.h"

namespace corvane {

// c (m × q, every element +0.0 on entry) receives a (m × p) times b (p × q).
// False (c untouched) when work storage cannot be obtained.
[[nodiscard]] bool MatrixProduct(const double* const* a, const double* const* b, double* const* c, std::int32_t m,
                                 std::int32_t p, std::int32_t q) noexcept;
[[nodiscard]] bool MatrixProduct(const Complex* const* a, const Complex* const* b, Complex* const* c,
                                 std::int32_t m, std::int32_t p, std::int32_t q) noexcept;

}  // namespace corvane
