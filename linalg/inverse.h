// Inverse and single-column solve of a real matrix by Gauss-Jordan
// elimination with partial pivoting.
#pragma once

#include "core/errors.h"
#include "core/matrix.h"

namespace corvane {

// A⁻¹ in a new matrix; 1306 when a pivot column is exactly zero.
Status Inverse(const Matrix& a, Matrix* result);

// x with A·x = b for an n × 1 right-hand side, as a new n × 1 matrix; 1311
// for another shape of b, 1310 when a pivot column is exactly zero; a null
// right-hand side fails with E_POINTER.
Status SolveGauss(const Matrix& a, const MatrixIn* rhs, Matrix* result);

}  // namespace corvane
