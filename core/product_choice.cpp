#include "core/product_choice.h"

#include "core/instruction_set.h"
#include "core/product_kernels.h"
#include "core/product_packed.h"

namespace corvane {
namespace {

// Below this many multiply-adds, copying panels costs more than it saves.
constexpr std::int64_t kPackedFrom = 32 * 32 * 32;

}  // namespace

bool MatrixProduct(const double* const* a, const double* const* b, double* const* c, std::int32_t m,
                   std::int32_t p, std::int32_t q) noexcept {
    const PackedProductKernel* kernel = nullptr;
    switch (ActiveInstructionSet()) {
        case InstructionSet::kAvx512: kernel = Avx512ProductKernel(); break;
        case InstructionSet::kAvx2: kernel = Avx2ProductKernel(); break;
        case InstructionSet::kSse2: break;
    }
    if (kernel != nullptr && static_cast<std::int64_t>(m) * p * q >= kPackedFrom)
        return MatrixProductPacked(*kernel, a, b, c, m, p, q);
    MatrixProductBlocked(a, b, c, m, p, q);
    return true;
}

bool MatrixProduct(const Complex* const* a, const Complex* const* b, Complex* const* c, std::int32_t m,
                   std::int32_t p, std::int32_t q) noexcept {
    MatrixProductBlocked(a, b, c, m, p, q);
    return true;
}

}  // namespace corvane
