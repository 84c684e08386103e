// The vector instruction set the matrix product runs with, chosen once at run
// time from what the processor and the operating system support. Every set
// forms the same floating-point operations, so the choice changes speed only.
#pragma once

namespace corvane {

// In increasing width. kSse2 is the baseline of every build (the portable
// kernels as the compiler vectorises them; on other processors, plain code).
enum class InstructionSet : int { kSse2 = 0, kAvx2 = 1, kAvx512 = 2 };

// The widest set this processor supports whose registers the operating system
// saves (cpuid and xgetbv), detected once; thread-safe.
InstructionSet DetectedInstructionSet() noexcept;

// The set in use: the detected one, unless a lower ceiling was forced.
InstructionSet ActiveInstructionSet() noexcept;

// Caps the set in use at `ceiling` (a ceiling above the detected set means the
// detected set) and returns the set now in use. For tests and the result
// digest, which run every path on one machine.
InstructionSet ForceInstructionSet(InstructionSet ceiling) noexcept;

// "sse2", "avx2", "avx512"; and back (false for any other text).
const char* InstructionSetName(InstructionSet set) noexcept;
bool ParseInstructionSet(const char* name, InstructionSet* set) noexcept;

}  // namespace corvane
