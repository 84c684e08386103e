#include "core/allocation.h"

#include <cstdint>
#include <cstdlib>

namespace corvane {
namespace {
thread_local long allocationsLeft = -1;
}

void* AllocateZeroed(std::size_t count, std::size_t size) noexcept {
    if (size != 0 && count > PTRDIFF_MAX / size) return nullptr;
    if (allocationsLeft >= 0) {
        if (allocationsLeft == 0) return nullptr;
        --allocationsLeft;
    }
    return std::calloc(count == 0 ? 1 : count, size == 0 ? 1 : size);
}

void Release(void* block) noexcept { std::free(block); }

void FailAllocationsAfter(long n) noexcept { allocationsLeft = n < 0 ? -1 : n; }

}  // namespace corvane
