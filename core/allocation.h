// Zero-filled blocks for matrix storage and per-call work storage. Failure is
// a null pointer (overflowing requests included), never an exception.
#pragma once

#include <cstddef>

namespace corvane {

// count × size bytes, all zero; null when the product overflows or the memory
// cannot be obtained.
void* AllocateZeroed(std::size_t count, std::size_t size) noexcept;
void Release(void* block) noexcept;

// Test hook: the next `n` allocations on this thread succeed and every later
// one fails, until called again with a negative n (the default: never fail).
void FailAllocationsAfter(long n) noexcept;

}  // namespace corvane
