#include "core/instruction_set.h"

#include <atomic>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#define CORVANE_X86 1
#endif

namespace corvane {
namespace {

#ifdef CORVANE_X86
// The register state the operating system saves on a thread switch (XCR0).
// Only valid once cpuid reports OSXSAVE.
std::uint64_t EnabledRegisterState() noexcept {
    std::uint32_t low = 0, high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

InstructionSet Detect() noexcept {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return InstructionSet::kSse2;
    if ((ecx & bit_OSXSAVE) == 0 || (ecx & bit_AVX) == 0) return InstructionSet::kSse2;
    const std::uint64_t state = EnabledRegisterState();
    constexpr std::uint64_t kXmmYmm = 0x6;      // SSE and AVX upper halves
    constexpr std::uint64_t kXmmYmmZmm = 0xe6;  // plus opmask and both ZMM parts
    if ((state & kXmmYmm) != kXmmYmm) return InstructionSet::kSse2;
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) == 0) return InstructionSet::kSse2;
    if ((ebx & bit_AVX512F) != 0 && (state & kXmmYmmZmm) == kXmmYmmZmm) return InstructionSet::kAvx512;
    if ((ebx & bit_AVX2) != 0) return InstructionSet::kAvx2;
    return InstructionSet::kSse2;
}
#else
InstructionSet Detect() noexcept { return InstructionSet::kSse2; }
#endif

std::atomic<int> ceiling{static_cast<int>(InstructionSet::kAvx512)};

}  // namespace

InstructionSet DetectedInstructionSet() noexcept {
    static const InstructionSet detected = Detect();  // initialised once, thread-safely
    return detected;
}

InstructionSet ActiveInstructionSet() noexcept {
    const int detected = static_cast<int>(DetectedInstructionSet());
    const int cap = ceiling.load(std::memory_order_relaxed);
    return static_cast<InstructionSet>(cap < detected ? cap : detected);
}

InstructionSet ForceInstructionSet(InstructionSet set) noexcept {
    ceiling.store(static_cast<int>(set), std::memory_order_relaxed);
    return ActiveInstructionSet();
}

namespace {
constexpr const char* kNames[] = {"sse2", "avx2", "avx512"};
}

const char* InstructionSetName(InstructionSet set) noexcept {
    const int i = static_cast<int>(set);
    return i >= 0 && i < 3 ? kNames[i] : "unknown";
}

bool ParseInstructionSet(const char* name, InstructionSet* set) noexcept {
    if (name == nullptr) return false;
    for (int i = 0; i < 3; ++i)
        if (std::strcmp(name, kNames[i]) == 0) {
            *set = static_cast<InstructionSet>(i);
            return true;
        }
    return false;
}

}  // namespace corvane
