// RowOperations with 256-bit registers: only this file's functions are
// compiled for the set, and they run only when the processor has it.
#include "eigen/row_operations.h"

#if defined(__x86_64__) || defined(__i386__)
#include "core/wide_avx2_begin.h"

namespace corvane {
namespace {
constexpr int kLanes = 4;
// Two registers of sums side by side; 32-bit code, with eight vector
// registers, has room for one.
constexpr int kSums = sizeof(void*) == 8 ? 2 : 1;
}  // namespace
}  // namespace corvane
#include "eigen/row_operations_loops.h"

#include "core/wide_end.h"

namespace corvane::row_operations_detail {
const RowOperations* Avx2RowOperations() noexcept { return &kLoops; }
}  // namespace corvane::row_operations_detail

#else
namespace corvane::row_operations_detail {
const RowOperations* Avx2RowOperations() noexcept { return nullptr; }
}  // namespace corvane::row_operations_detail
#endif
