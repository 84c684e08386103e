// The one place where the matrix product picks its kernel: the packed product
// with the widest tile routine the processor allows (ActiveInstructionSet),
// the blocked kernel otherwise, for complex elements and for small products
// where packing does not pay. All give the same bits.
#pragma once

#include <cstdint>

#include "core/buffer.h"
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

// Doubles of packing storage a product of m × p by p × q elements of T takes
// with the kernel in use; 0 when it would not pack.
template <class T>
std::int64_t ProductStorage(std::int32_t m, std::int32_t p, std::int32_t q) noexcept;
template <>
std::int64_t ProductStorage<double>(std::int32_t m, std::int32_t p, std::int32_t q) noexcept;
template <>
std::int64_t ProductStorage<Complex>(std::int32_t m, std::int32_t p, std::int32_t q) noexcept;

// Packing storage taken once for the many products of one factorisation,
// instead of once per product. A product that does not fit takes its own.
template <class T>
class ProductWorkspace {
public:
    // Room for every product of at most m × p by p × q; false when the
    // memory cannot be obtained.
    [[nodiscard]] bool Reserve(std::int32_t m, std::int32_t p, std::int32_t q) noexcept {
        const std::int64_t doubles = ProductStorage<T>(m, p, q);
        return doubles == 0 || storage_.Allocate(doubles);
    }
    // The storage when it holds `doubles`, else null.
    double* Fitting(std::int64_t doubles) const noexcept {
        return doubles <= storage_.size() ? storage_.data() : nullptr;
    }

private:
    Buffer<double> storage_;
};

// AddProduct and SubtractProduct packing in `workspace`.
void AddProduct(const double* const* a, const double* const* b, double* const* c, std::int32_t m, std::int32_t p,
                std::int32_t q, const ProductWorkspace<double>& workspace) noexcept;
void AddProduct(const Complex* const* a, const Complex* const* b, Complex* const* c, std::int32_t m, std::int32_t p,
                std::int32_t q, const ProductWorkspace<Complex>& workspace) noexcept;
void SubtractProduct(const double* const* a, const double* const* b, double* const* c, std::int32_t m, std::int32_t p,
                     std::int32_t q, const ProductWorkspace<double>& workspace) noexcept;
void SubtractProduct(const Complex* const* a, const Complex* const* b, Complex* const* c, std::int32_t m,
                     std::int32_t p, std::int32_t q, const ProductWorkspace<Complex>& workspace) noexcept;

}  // namespace corvane
