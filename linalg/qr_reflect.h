// The routine that applies a panel of Householder reflectors to column
// groups, for the instruction set in use (ActiveInstructionSet). All give the
// same bits.
#pragma once

#include "core/complex.h"
#include "linalg/kernels/qr_blocked.h"

namespace corvane {

ReflectFn<double> ChosenReflect(const double*) noexcept;
ReflectFn<Complex> ChosenReflect(const Complex*) noexcept;

// The routines of the wider instruction sets; null where the build has none.
// Call them only when ActiveInstructionSet() allows.
ReflectFn<double> Avx2Reflect() noexcept;
ReflectFn<double> Avx512Reflect() noexcept;

}  // namespace corvane
