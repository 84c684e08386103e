// The row-wise steps of the singular value decomposition compiled for AVX-512F;
// chosen only when the processor has it.
#include "linalg/svd_steps.h"

#include <cmath>

#include "core/numeric_helpers.h"

#if defined(__x86_64__) || defined(__i386__)
#include "core/wide_avx512_begin.h"

#include "linalg/kernels/svd_steps.h"

#include "core/wide_end.h"

namespace corvane {
const SvdSteps* Avx512SvdSteps() noexcept { return &kSteps; }
}  // namespace corvane
#else
namespace corvane {
const SvdSteps* Avx512SvdSteps() noexcept { return nullptr; }
}  // namespace corvane
#endif
