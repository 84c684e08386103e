// Arithmetic of the real and complex matrix objects: one implementation for
// both element types (instantiated for double and Complex).
//
// Every operation first fails with kNotSized when `a` is unsized, then with
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

// A new matrix b + a (Plus) or a − b (Minus), visited row by row. kNotSameSize when
// b's shape differs from a's.
template <class T>
Status Plus(const BasicMatrix<T>& a, const std::type_identity_t<MatrixReader<T>>* b,
            std::type_identity_t<BasicMatrix<T>>* result);
template <class T>
Status Minus(const BasicMatrix<T>& a, const std::type_identity_t<MatrixReader<T>>* b,
             std::type_identity_t<BasicMatrix<T>>* result);

// In place: a(i, j) becomes b(i, j) + a(i, j), or a(i, j) − b(i, j), each
// b(i, j) read just before a(i, j) is written, so b may be a itself. kNotSameSize
// when b's shape differs from a's, before anything changes.
template <class T>
Status PlusEquals(BasicMatrix<T>& a, const std::type_identity_t<MatrixReader<T>>* b);
template <class T>
Status MinusEquals(BasicMatrix<T>& a, const std::type_identity_t<MatrixReader<T>>* b);

// a × b. kCannotMultiply when b's row count differs from a's column count, then kInvalidCols
// when b reports no columns (the result could not be sized). b is first
// copied into private storage; each element of the product is the plain dot
// product in increasing k.
template <class T>
Status Times(const BasicMatrix<T>& a, const std::type_identity_t<MatrixReader<T>>* b,
             std::type_identity_t<BasicMatrix<T>>* result);

// A new matrix whose (i, j) is a(i, j) × scalar.
template <class T>
Status TimesScalar(const BasicMatrix<T>& a, const std::type_identity_t<T>& scalar,
                   std::type_identity_t<BasicMatrix<T>>* result);

// A new matrix whose (j, i) is a(i, j); complex elements are not conjugated.
template <class T>
Status Transpose(const BasicMatrix<T>& a, std::type_identity_t<BasicMatrix<T>>* result);

}  // namespace corvane
