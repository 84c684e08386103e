#include "core/allocation.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>

#if defined(__unix__)
#include <unistd.h>
#endif

namespace corvane {
namespace {
thread_local long allocationsLeft = -1;

// Requests up to this size are never refused by the bound, so the small
// blocks of everyday work skip the memory query.
constexpr std::uint64_t kAlwaysFits = std::uint64_t{1} << 26;
// Every heap block is rounded up to 16 bytes and carries a header of up to 16.
constexpr std::uint64_t kBlockGrain = 16;
constexpr std::uint64_t kBlockHeader = 16;
// A 32-bit process has 4 GiB of address space at most.
constexpr std::uint64_t kAddressSpace = sizeof(std::size_t) < 8 ? std::uint64_t{1} << 32 : UINT64_MAX;
// Used when the system reports nothing and no platform query is given.
constexpr std::uint64_t kFallbackMemory = std::uint64_t{1} << 35;

std::uint64_t BuiltInMemory() noexcept {
#if defined(__unix__) && defined(_SC_PHYS_PAGES) && defined(_SC_PAGESIZE)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageBytes = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageBytes > 0) return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageBytes);
#endif
    return kFallbackMemory;
}

std::atomic<MemoryQuery> memoryQuery{nullptr};
}  // namespace

namespace {
// The overflow check and the test hook every allocation passes.
bool MayAllocate(std::size_t count, std::size_t size) noexcept {
    if (size != 0 && count > PTRDIFF_MAX / size) return false;
    if (allocationsLeft >= 0) {
        if (allocationsLeft == 0) return false;
        --allocationsLeft;
    }
    return true;
}
}  // namespace

void* AllocateZeroed(std::size_t count, std::size_t size) noexcept {
    if (!MayAllocate(count, size)) return nullptr;
    return std::calloc(count == 0 ? 1 : count, size == 0 ? 1 : size);
}

void* AllocateUnfilled(std::size_t count, std::size_t size) noexcept {
    if (!MayAllocate(count, size)) return nullptr;
    return std::malloc(count == 0 || size == 0 ? 1 : count * size);
}

void Release(void* block) noexcept { std::free(block); }

std::uint64_t HeapBytes(std::uint64_t count, std::uint64_t blockBytes) noexcept {
    if (blockBytes > UINT64_MAX / 2) return UINT64_MAX;
    const std::uint64_t perBlock = (blockBytes + kBlockGrain - 1) / kBlockGrain * kBlockGrain + kBlockHeader;
    return count > UINT64_MAX / perBlock ? UINT64_MAX : count * perBlock;
}

bool StorageFits(std::uint64_t bytes) noexcept {
    if (bytes <= kAlwaysFits) return true;
    if (bytes > kAddressSpace) return false;
    const MemoryQuery query = memoryQuery.load(std::memory_order_acquire);
    return bytes <= (query != nullptr ? query() : BuiltInMemory());
}

void SetMemoryQuery(MemoryQuery query) noexcept { memoryQuery.store(query, std::memory_order_release); }

void FailAllocationsAfter(long n) noexcept { allocationsLeft = n < 0 ? -1 : n; }

}  // namespace corvane
