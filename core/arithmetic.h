// Arithmetic of the real and complex matrix objects: one implementation for
// both element types (instantiated for double and Complex).
//
// Every operation first fails with 1321 when `a` is unsized, then with
// Status::NullPointer() for a null pointer argument; it changes nothing and
// writes no output when it fails. A second matrix `b` is read only through
// its MatrixReader interface, one element at a time; it may be `a` itself.
// The result codes of b's own reads are not examined (a failed read counts as
// zero).
#pragma once

#include <type_traits>

#include "core/cmatrix.h"
#include "core/matrix.h"

namespace corvane {

// a × b. 1307 when b's row count differs from a's column count. b is first
// copied into private storage; each element of the product is the plain dot
// product in increasing k.
template <class T>
Status Times(const BasicMatrix<T>& a, const std::type_identity_t<MatrixReader<T>>* b,
             std::type_identity_t<BasicMatrix<T>>* result);

}  // namespace corvane
