// How a decomposition hands a result to a caller-supplied output matrix: a
// null output is not wanted and skipped; otherwise the object's own Size, then
// every element through its own Item put. The result codes of these calls are
// not examined. Call only after the whole computation has succeeded.
#pragma once

#include <cstdint>

#include "core/matrix_interfaces.h"

namespace corvane {

// element(i, j) gives the value of output element (i, j).
template <class T, class ElementFn>
void WriteOutput(MatrixWriter<T>* out, std::int32_t rows, std::int32_t cols, ElementFn element) {
    if (out == nullptr) return;
    (void)out->Size(rows, cols);
    for (std::int32_t i = 0; i < rows; ++i)
        for (std::int32_t j = 0; j < cols; ++j) (void)out->PutItem(i, j, element(i, j));
}

// Sized n × n, then only the elements on and below the diagonal, row by row:
// what Size left above the diagonal stays there (triangular factors).
template <class T, class ElementFn>
void WriteLowerTriangle(MatrixWriter<T>* out, std::int32_t n, ElementFn element) {
    if (out == nullptr) return;
    (void)out->Size(n, n);
    for (std::int32_t i = 0; i < n; ++i)
        for (std::int32_t j = 0; j <= i; ++j) (void)out->PutItem(i, j, element(i, j));
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
