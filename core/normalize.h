// Scaling of the real and complex matrix objects by their largest element
// (instantiated for double and Complex). The scale N is not a matrix norm but
// a signed value: for a real matrix the first element of largest magnitude;
// for a complex one the first imaginary part of largest magnitude when it is
// strictly larger than the first real part of largest magnitude, else that
// real part. NaN elements are never chosen. When N ≠ 0 every element is
// multiplied by f = 1 / N, computed once; when N = 0 nothing is scaled.
//
// Each fails with kNotSized when `a` is unsized, then with Status::NullPointer()
// for a null pointer argument, and changes and writes nothing when it fails.
#pragma once

#include <type_traits>

#include "core/cmatrix.h"
#include "core/matrix.h"

namespace corvane {

// A new matrix, a scaled (all zeros when N = 0); *normValue receives N.
template <class T>
Status Normalize(const BasicMatrix<T>& a, double* normValue, std::type_identity_t<BasicMatrix<T>>* result);

// a scaled in place (unchanged when N = 0); *normValue receives N.
template <class T>
Status NormalizeMe(BasicMatrix<T>& a, double* normValue);

}  // namespace corvane
