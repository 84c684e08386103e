// The baseline loops (SSE2 on x86) and the choice among the sets.
#include "eigen/row_operations.h"

#include "core/instruction_set.h"
namespace corvane {
namespace {
constexpr int kLanes = 2;
constexpr int kSums = 2;
}  // namespace
}  // namespace corvane
#include "eigen/row_operations_loops.h"

namespace corvane {

const RowOperations& ActiveRowOperations() noexcept {
    const RowOperations* wide = nullptr;
    switch (ActiveInstructionSet()) {
    case InstructionSet::kAvx512: wide = row_operations_detail::Avx512RowOperations(); break;
    case InstructionSet::kAvx2: wide = row_operations_detail::Avx2RowOperations(); break;
    case InstructionSet::kSse2: break;
    }
    return wide != nullptr ? *wide : kLoops;
}

}  // namespace corvane
