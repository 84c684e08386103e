// How a decomposition hands a result to a caller-supplied output matrix: a
// null output is not wanted and skipped; otherwise the object's own Size, then
// every element through its own Item put. The result codes of these calls are
// not examined. Call only after the whole computation has succeeded. A core
// matrix that Size has sized receives its elements directly: its Item put
// would store each of them unchanged.
#pragma once

#include <cstdint>

#include "core/basic_matrix.h"
#include "core/matrix_interfaces.h"

namespace corvane {

// Sizes out as rows × cols, then stores element(i, j) row by row for
// j < columnEnd(i).
template <class T, class ColumnEnd, class ElementFn>
void WriteRows(MatrixWriter<T>* out, std::int32_t rows, std::int32_t cols, ColumnEnd columnEnd, ElementFn element) {
    if (out == nullptr) return;
    const bool sized = out->Size(rows, cols).ok();
    if (auto* core = dynamic_cast<BasicMatrix<T>*>(out); core != nullptr && sized) {
        T* const* r = core->rows();
        for (std::int32_t i = 0; i < rows; ++i)
            for (std::int32_t j = 0, end = columnEnd(i); j < end; ++j) r[i][j] = element(i, j);
        return;
    }
    for (std::int32_t i = 0; i < rows; ++i)
        for (std::int32_t j = 0, end = columnEnd(i); j < end; ++j) (void)out->PutItem(i, j, element(i, j));
}

// element(i, j) gives the value of output element (i, j).
template <class T, class ElementFn>
void WriteOutput(MatrixWriter<T>* out, std::int32_t rows, std::int32_t cols, ElementFn element) {
    WriteRows(
        out, rows, cols, [cols](std::int32_t) { return cols; }, element);
}

// Sized n × n, then only the elements on and below the diagonal, row by row:
// what Size left above the diagonal stays there (triangular factors).
template <class T, class ElementFn>
void WriteLowerTriangle(MatrixWriter<T>* out, std::int32_t n, ElementFn element) {
    WriteRows(
        out, n, n, [](std::int32_t i) { return i + 1; }, element);
}

// Sized n × n, emptied with its own Clear, then only the diagonal written
// (diagonal factors such as singular values).
template <class T, class DiagonalFn>
void WriteDiagonal(MatrixWriter<T>* out, std::int32_t n, DiagonalFn diagonal) {
    if (out == nullptr) return;
    (void)out->Size(n, n);
    (void)out->Clear();
    for (std::int32_t j = 0; j < n; ++j) (void)out->PutItem(j, j, diagonal(j));
}

}  // namespace corvane
