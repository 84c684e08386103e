#include "core/product_choice.h"

#include "core/instruction_set.h"
#include "core/product_complex_packed.h"
#include "core/product_kernels.h"
#include "core/product_packed.h"

namespace corvane {
namespace {

// Below this many multiply-adds, copying panels costs more than it saves;
// products narrower than one register tile need the larger count, since
// every tile of theirs is cut short at the edge of c.
constexpr std::int64_t kPackedFrom = 16 * 16 * 16;
constexpr std::int64_t kNarrowPackedFrom = 32 * 32 * 32;
// Packing copies a and b once for every product, which a few rows do not
// repay; the thin product reads them in place, fast while its strip of
// b (depth × a few registers) stays in the first level cache.
constexpr std::int32_t kThinRows = 16, kThinDepth = 64;

// The packed kernel of the widest instruction set allowed, when the product is large enough for it.
const PackedProductKernel* PackedKernelFor(std::int32_t m, std::int32_t p, std::int32_t q) {
    const PackedProductKernel* kernel = nullptr;
    switch (ActiveInstructionSet()) {
    case InstructionSet::kAvx512: kernel = Avx512ProductKernel(); break;
    case InstructionSet::kAvx2: kernel = Avx2ProductKernel(); break;
    case InstructionSet::kSse2: break;
    }
    if (kernel == nullptr) return nullptr;
    if (m < kernel->rows) return q >= kernel->cols ? kernel : nullptr;  // the thin product copies nothing
    const std::int64_t count = static_cast<std::int64_t>(m) * p * q;
    return count >= (q >= kernel->cols ? kPackedFrom : kNarrowPackedFrom) ? kernel : nullptr;
}

// The packed product, or the thin one for fewer rows than a tile and for
// shallow products of few rows; false when the packing storage
// cannot be obtained (c untouched).
bool WideProduct(const PackedProductKernel& kernel, const double* const* a, const double* const* b, double* const* c,
                 std::int32_t m, std::int32_t p, std::int32_t q, bool negate,
                 const ProductWorkspace<double>& workspace) {
    if (m < kernel.rows || (m <= kThinRows && p <= kThinDepth)) {
        kernel.thin(a, b, c, m, p, q, negate);
        return true;
    }
    return MatrixProductPacked(kernel, a, b, c, m, p, q, negate, workspace.Fitting(PackedStorage(kernel, m, p, q)));
}

// The same for complex elements.
const ComplexProductKernel* ComplexKernelFor(std::int32_t m, std::int32_t p, std::int32_t q) {
    const ComplexProductKernel* kernel = nullptr;
    switch (ActiveInstructionSet()) {
    case InstructionSet::kAvx512: kernel = Avx512ComplexProductKernel(); break;
    case InstructionSet::kAvx2: kernel = Avx2ComplexProductKernel(); break;
    case InstructionSet::kSse2: break;
    }
    if (kernel == nullptr) return nullptr;
    const std::int64_t count = static_cast<std::int64_t>(m) * p * q;
    return count >= (q >= kernel->cols ? kPackedFrom : kNarrowPackedFrom) ? kernel : nullptr;
}

}  // namespace

bool MatrixProduct(const double* const* a, const double* const* b, double* const* c, std::int32_t m, std::int32_t p,
                   std::int32_t q) noexcept {
    if (const PackedProductKernel* kernel = PackedKernelFor(m, p, q))
        return WideProduct(*kernel, a, b, c, m, p, q, false, ProductWorkspace<double>{});
    MatrixProductBlocked(a, b, c, m, p, q);
    return true;
}

void AddProduct(const double* const* a, const double* const* b, double* const* c, std::int32_t m, std::int32_t p,
                std::int32_t q) noexcept {
    AddProduct(a, b, c, m, p, q, ProductWorkspace<double>{});
}

void AddProduct(const double* const* a, const double* const* b, double* const* c, std::int32_t m, std::int32_t p,
                std::int32_t q, const ProductWorkspace<double>& workspace) noexcept {
    const PackedProductKernel* kernel = PackedKernelFor(m, p, q);
    if (kernel == nullptr || !WideProduct(*kernel, a, b, c, m, p, q, false, workspace))
        MatrixProductBlocked(a, b, c, m, p, q);
}

void AddProduct(const Complex* const* a, const Complex* const* b, Complex* const* c, std::int32_t m, std::int32_t p,
                std::int32_t q) noexcept {
    AddProduct(a, b, c, m, p, q, ProductWorkspace<Complex>{});
}

void AddProduct(const Complex* const* a, const Complex* const* b, Complex* const* c, std::int32_t m, std::int32_t p,
                std::int32_t q, const ProductWorkspace<Complex>& workspace) noexcept {
    const ComplexProductKernel* kernel = ComplexKernelFor(m, p, q);
    if (kernel == nullptr || !ComplexProductPacked(*kernel, a, b, c, m, p, q, false,
                                                   workspace.Fitting(ComplexPackedStorage(*kernel, m, p, q))))
        MatrixProductBlocked(a, b, c, m, p, q);
}

void SubtractProduct(const double* const* a, const double* const* b, double* const* c, std::int32_t m, std::int32_t p,
                     std::int32_t q) noexcept {
    SubtractProduct(a, b, c, m, p, q, ProductWorkspace<double>{});
}

void SubtractProduct(const double* const* a, const double* const* b, double* const* c, std::int32_t m, std::int32_t p,
                     std::int32_t q, const ProductWorkspace<double>& workspace) noexcept {
    const PackedProductKernel* kernel = PackedKernelFor(m, p, q);
    if (kernel == nullptr || !WideProduct(*kernel, a, b, c, m, p, q, true, workspace))
        MatrixProductBlocked<double, true>(a, b, c, m, p, q);
}

void SubtractProduct(const Complex* const* a, const Complex* const* b, Complex* const* c, std::int32_t m,
                     std::int32_t p, std::int32_t q) noexcept {
    SubtractProduct(a, b, c, m, p, q, ProductWorkspace<Complex>{});
}

void SubtractProduct(const Complex* const* a, const Complex* const* b, Complex* const* c, std::int32_t m,
                     std::int32_t p, std::int32_t q, const ProductWorkspace<Complex>& workspace) noexcept {
    const ComplexProductKernel* kernel = ComplexKernelFor(m, p, q);
    if (kernel == nullptr || !ComplexProductPacked(*kernel, a, b, c, m, p, q, true,
                                                   workspace.Fitting(ComplexPackedStorage(*kernel, m, p, q))))
        MatrixProductBlocked<Complex, true>(a, b, c, m, p, q);
}

template <>
std::int64_t ProductStorage<double>(std::int32_t m, std::int32_t p, std::int32_t q) noexcept {
    const PackedProductKernel* kernel = PackedKernelFor(m, p, q);
    return kernel == nullptr ? 0 : PackedStorage(*kernel, m, p, q);
}

template <>
std::int64_t ProductStorage<Complex>(std::int32_t m, std::int32_t p, std::int32_t q) noexcept {
    const ComplexProductKernel* kernel = ComplexKernelFor(m, p, q);
    return kernel == nullptr ? 0 : ComplexPackedStorage(*kernel, m, p, q);
}

bool MatrixProduct(const Complex* const* a, const Complex* const* b, Complex* const* c, std::int32_t m, std::int32_t p,
                   std::int32_t q) noexcept {
    if (const ComplexProductKernel* kernel = ComplexKernelFor(m, p, q))
        return ComplexProductPacked(*kernel, a, b, c, m, p, q, false);
    MatrixProductBlocked(a, b, c, m, p, q);
    return true;
}

}  // namespace corvane
