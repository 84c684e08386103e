// The complex matrix object: a dense matrix of Complex values, built on the
// same storage and element operations as the real one.
#pragma once

#include "core/basic_matrix.h"
#include "core/complex.h"
#include "core/matrix.h"

namespace corvane {

using CMatrix = BasicMatrix<Complex>;
using CMatrixIn = MatrixReader<Complex>;
using CMatrixOut = MatrixWriter<Complex>;

// A complex matrix of a's shape whose (i, j) is (a(i, j), 0.0), filled row by
// row. kNotSized when a is unsized.
Status ToCMatrix(const Matrix& a, CMatrix* result);

}  // namespace corvane
