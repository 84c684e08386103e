// Tolerance comparisons of the real and complex matrix objects (instantiated
// for double and Complex). A pair of elements differs only when a difference
// exceeds `maxDifference` (absolute and non-strict, so a NaN difference never
// does); complex parts are tested separately, the real part first.
//
// Each fails with kNotSized when `a` is unsized, then with Status::NullPointer()
// for a null pointer argument, and writes *result only on success. A shape
// that does not fit gives false, not a failure.
#pragma once

#include <type_traits>

#include "core/cmatrix.h"
#include "core/matrix.h"

namespace corvane {

// Whether b has a's shape and no element of b differs from a's. b is read
// through its interface row by row, stopping at the first differing pair.
template <class T>
Status IsEqualTo(const BasicMatrix<T>& a, const std::type_identity_t<MatrixReader<T>>* b, double maxDifference,
                 bool* result);

// Whether a is square and equal to its transpose (the strict upper triangle
// against the lower, row by row). Complex elements are not conjugated: this is
// symmetry, not the Hermitian property.
template <class T>
Status IsSymmetric(const BasicMatrix<T>& a, double maxDifference, bool* result);

}  // namespace corvane
