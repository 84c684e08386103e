// Sorting rows by one column and columns by one row, and rearranging rows or
// columns by a permutation index: in place, for the real and the complex
// matrix. A permutation index holds, for each old row (column) r, the
// position it takes: new row p(r) = old row r.
#pragma once

#include <cstdint>

#include "core/basic_matrix.h"
#include "core/buffer.h"
#include "core/complex.h"
#include "core/perm_index.h"

namespace corvane {

// Any sort order other than 0 (ascending) sorts descending.
enum SortOrderEnum : std::int32_t { msoAscending = 0, msoDescending = 1 };

// Sorts the rows by the keys of column `colIndex` (the value itself, or the
// modulus of a complex value): kNotSized when unsized, kColIndex for a bad column.
// Equal keys are ranked by their original index and NaN keys after all
// others, so the result is one fixed arrangement. *permIndex (if not null)
// receives, for every old row r, its position in ascending order; a
// descending sort puts old row r at Rows − 1 − that position. Rows move as
// whole blocks, bit for bit. Nothing is changed on failure.
template <class T>
Status SortRows(BasicMatrix<T>& m, std::int32_t colIndex, std::int32_t sortOrder, Buffer<std::int32_t>* permIndex);

// The mirror image over columns: kNotSized, then kRowIndex for a bad row.
template <class T>
Status SortCols(BasicMatrix<T>& m, std::int32_t rowIndex, std::int32_t sortOrder, Buffer<std::int32_t>* permIndex);

// Applies a permutation index from a host: kNotSized when unsized, then the
// checks of ReadPermIndex against Rows (Cols). For r = 0, 1, … in order, an
// entry within 0 … n − 1 copies old row r to that position; others drop the
// row; a position no entry names keeps its row; a later entry wins.
template <class T>
Status ReorderRows(BasicMatrix<T>& m, const PermIndexArgument* permIndex);
template <class T>
Status ReorderCols(BasicMatrix<T>& m, const PermIndexArgument* permIndex);

// The same with entries already read (exactly Rows, or Cols, of them,
// otherwise kArrayWrongSize).
template <class T>
Status ReorderRows(BasicMatrix<T>& m, const Buffer<std::int32_t>& entries);
template <class T>
Status ReorderCols(BasicMatrix<T>& m, const Buffer<std::int32_t>& entries);

// The instantiations for one element type: declared here (Declare = extern template), made once in sorting.cpp.
#define CORVANE_SORTING_INSTANCES(Declare, T)                                                       \
    Declare Status SortRows<T>(BasicMatrix<T>&, std::int32_t, std::int32_t, Buffer<std::int32_t>*); \
    Declare Status SortCols<T>(BasicMatrix<T>&, std::int32_t, std::int32_t, Buffer<std::int32_t>*); \
    Declare Status ReorderRows<T>(BasicMatrix<T>&, const PermIndexArgument*);                       \
    Declare Status ReorderCols<T>(BasicMatrix<T>&, const PermIndexArgument*);                       \
    Declare Status ReorderRows<T>(BasicMatrix<T>&, const Buffer<std::int32_t>&);                    \
    Declare Status ReorderCols<T>(BasicMatrix<T>&, const Buffer<std::int32_t>&);
CORVANE_SORTING_INSTANCES(extern template, double)
CORVANE_SORTING_INSTANCES(extern template, Complex)

}  // namespace corvane
