// Whole matrices to and from a host's two-dimensional arrays of doubles: all
// elements of a real matrix, or the real or imaginary parts of a complex one.
// The automation layer describes its SAFEARRAY through ArraySource and
// ArraySink; every check, its order and its message are made here.
#pragma once

#include <cstdint>

#include "core/basic_matrix.h"
#include "core/complex.h"

namespace corvane {

// A host's array as a put reads it. Dimension 1 is the first (leftmost)
// subscript, which is the row.
class ArraySource {
public:
    // Number of dimensions; 0 for a missing array.
    virtual std::int32_t Dimensions() const = 0;
    // Lower and upper bound of dimension `dim` (1 or 2).
    virtual Status Bounds(std::int32_t dim, std::int32_t* lower, std::int32_t* upper) const = 0;
    // Whether the elements are doubles.
    virtual bool HoldsDoubles() const = 0;
    // The element at subscripts (first, second), or at `first` alone for a
    // one-dimensional array (second is then 0 and unused).
    virtual Status Read(std::int32_t first, std::int32_t second, double* value) const = 0;

protected:
    ~ArraySource() = default;
};

// The new array a get fills: created once, then written element by element.
class ArraySink {
public:
    // A two-dimensional array of doubles, bounds 0 … rows − 1 and 0 … cols − 1.
    virtual Status Create(std::int32_t rows, std::int32_t cols) = 0;
    virtual Status Write(std::int32_t row, std::int32_t col, double value) = 0;

protected:
    ~ArraySink() = default;
};

// Gets: kNotSized when unsized; otherwise the array is created with the matrix's
// shape and written row by row. A failure of the sink is returned as it is
// (the caller then discards the array).
Status AsArray(const BasicMatrix<double>& m, ArraySink* out);
Status AsArrayR(const BasicMatrix<Complex>& m, ArraySink* out);
Status AsArrayI(const BasicMatrix<Complex>& m, ArraySink* out);

// Puts, checked in this order: an array of neither one nor two dimensions
// (or none) kNotAnArray; then its bounds are read; elements not doubles kNotAnArray; an
// extent the matrix cannot take kInvalidRows (rows, tested first) or kInvalidCols. A
// one-dimensional array L1 … U1 gives a (U1 − L1 + 1) × 1 matrix; a
// two-dimensional one (L1 … U1, L2 … U2) gives (U1 − L1 + 1) × (U2 − L2 + 1),
// element (i, j) from subscripts (L1 + i, L2 + j). The matrix is resized as
// by its own Size (a complex matrix keeps the common block of the part not
// written) and changes only when every element has been read.
Status PutAsArray(BasicMatrix<double>& m, const ArraySource* in);
Status PutAsArrayR(BasicMatrix<Complex>& m, const ArraySource* in);
Status PutAsArrayI(BasicMatrix<Complex>& m, const ArraySource* in);

}  // namespace corvane
