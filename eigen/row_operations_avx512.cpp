// RowOperations with 512-bit registers: only this file's functions are
// compiled for the set, and they run only when the processor has it.
#include "eigen/row_operations.h"

#if defined(__x86_64__) || defined(__i386__)
// GCC's pragma, or its clang equivalent (the fuzzer is built with clang).
#ifdef __clang__
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif
#include "eigen/row_operations_loops.h"
#ifdef __clang__
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace corvane::row_operations_detail {
const RowOperations* Avx512RowOperations() noexcept { return &kLoops; }
}  // namespace corvane::row_operations_detail

#else
namespace corvane::row_operations_detail {
const RowOperations* Avx512RowOperations() noexcept { return nullptr; }
}  // namespace corvane::row_operations_detail
#endif
