// RowOperations with 512-bit registers: only this file's functions are
// compiled for the set, and they run only when the processor has it.
#include "eigen/row_operations.h"

#if defined(__x86_64__) || defined(__i386__)
#include "core/wide_avx512_begin.h"

namespace corvane {
namespace {
// 32-bit code has eight vector registers, too few for a square of eight
// rows by eight columns: there the rows go four at a time.
constexpr int kLanes = sizeof(void*) == 8 ? 8 : 4;
constexpr int kSums = 1;
}  // namespace
}  // namespace corvane
#include "eigen/row_operations_loops.h"

#include "core/wide_end.h"

namespace corvane::row_operations_detail {
const RowOperations* Avx512RowOperations() noexcept { return &kLoops; }
}  // namespace corvane::row_operations_detail

#else
namespace corvane::row_operations_detail {
const RowOperations* Avx512RowOperations() noexcept { return nullptr; }
}  // namespace corvane::row_operations_detail
#endif
