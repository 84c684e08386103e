// The row-wise steps of the singular value decomposition compiled for AVX2;
// chosen only when the processor has it.
#include "linalg/svd_steps.h"

#include <cmath>

#include "core/numeric_helpers.h"

#if defined(__x86_64__) || defined(__i386__)
#ifdef __clang__
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
#include "linalg/kernels/svd_steps.h"
#ifdef __clang__
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace corvane {
const SvdSteps* Avx2SvdSteps() noexcept { return &kSteps; }
}  // namespace corvane
#else
namespace corvane {
const SvdSteps* Avx2SvdSteps() noexcept { return nullptr; }
}  // namespace corvane
#endif
