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
[[nodiscard]] bool MatrixProduct(const Complex* const* a, const Complex* const* b, Complex* const* c, std::int32_t m,
                                 std::int32_t p, std::int32_t q) noexcept;

// c (m × q) plus a (m × p) times b (p × q), in place: every element receives
// c = c + a(i, k)·b(k, j) for k = 0, 1, …, p − 1. Never fails, as below.
void AddProduct(const double* const* a, const double* const* b, double* const* c, std::int32_t m, std::int32_t p,
                std::int32_t q) noexcept;
void AddProduct(const Complex* const* a, const Complex* const* b, Complex* const* c, std::int32_t m, std::int32_t p,
                std::int32_t q) noexcept;

// c (m × q) less a (m × p) times b (p × q), in place: every element receives
// c = c − a(i, k)·b(k, j) for k = 0, 1, …, p − 1, one rounded multiply and one
// rounded subtraction at a time, as the delayed updates of a left-looking
// factorisation need. Never fails: without packing storage the blocked
// kernel does it.
void SubtractProduct(const double* const* a, const double* const* b, double* const* c, std::int32_t m, std::int32_t p,
                     std::int32_t q) noexcept;
void SubtractProduct(const Complex* const* a, const Complex* const* b, Complex* const* c, std::int32_t m,
                     std::int32_t p, std::int32_t q) noexcept;

}  // namespace corvane
