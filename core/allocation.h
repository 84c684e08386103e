// Zero-filled blocks for matrix storage and per-call work storage. Failure is
// a null pointer (overflowing requests included), never an exception.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvane {

// count × size bytes, all zero; null when the product overflows or the memory
// cannot be obtained.
void* AllocateZeroed(std::size_t count, std::size_t size) noexcept;
// The same without the zero fill, for a block its caller overwrites whole.
void* AllocateUnfilled(std::size_t count, std::size_t size) noexcept;
void Release(void* block) noexcept;

// Bytes `count` blocks of `blockBytes` each take from the heap, with the
// rounding and header of every block; saturates instead of wrapping.
std::uint64_t HeapBytes(std::uint64_t count, std::uint64_t blockBytes) noexcept;

// Whether a request of `bytes` (as HeapBytes counts them) can be met at all:
// false beyond the address space or the memory the process can obtain, so
// that a hopeless size fails at once instead of allocating block after block
// until the machine runs out.
bool StorageFits(std::uint64_t bytes) noexcept;

// The bytes the process can obtain. A platform layer may supply its own query
// (the automation server asks the system); null restores the built-in one
// (physical memory where the system reports it, else a fixed bound).
using MemoryQuery = std::uint64_t (*)() noexcept;
void SetMemoryQuery(MemoryQuery query) noexcept;

// Test hook: the next `n` allocations on this thread succeed and every later
// one fails, until called again with a negative n (the default: never fail).
void FailAllocationsAfter(long n) noexcept;

}  // namespace corvane
