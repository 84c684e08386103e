#include "linalg/svd_steps.h"

#include <cmath>

#include "core/instruction_set.h"
#include "core/numeric_helpers.h"
#include "linalg/kernels/svd_steps.h"

namespace corvane {

const SvdSteps& ActiveSvdSteps() noexcept {
    const SvdSteps* wide = nullptr;
    switch (ActiveInstructionSet()) {
    case InstructionSet::kAvx512: wide = Avx512SvdSteps(); break;
    case InstructionSet::kAvx2: wide = Avx2SvdSteps(); break;
    case InstructionSet::kSse2: break;
    }
    return wide != nullptr ? *wide : kSteps;
}

}  // namespace corvane
