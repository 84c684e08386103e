// The routine that applies a panel of Householder reflectors to column
// groups, for the instruction set in use (ActiveInstructionSet). All give the
// same bits.
#pragma once

#include "core/complex.h"
#include "linalg/kernels/qr_block.h"

namespace corvane {

ReflectFn<double> ChosenReflect(const double*) noexcept;
ReflectFn<Complex> ChosenReflect(const Complex*) noexcept;

// s[k] = s[k] / factor for k < count: the complex step of the vector
// routines, compiled for the baseline set.
void DivideComplexSums(Complex* s, int count, Complex factor) noexcept;

// The routines of the wider instruction sets; null where the build has none.
// Call them only when ActiveInstructionSet() allows.
ReflectFn<double> Avx2Reflect(const double*) noexcept;
ReflectFn<Complex> Avx2Reflect(const Complex*) noexcept;
ReflectFn<double> Avx512Reflect(const double*) noexcept;
ReflectFn<Complex> Avx512Reflect(const Complex*) noexcept;

}  // namespace corvane
