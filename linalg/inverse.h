// Inverse of a real or complex matrix by Gauss-Jordan elimination with
// partial pivoting (complex elements on the one-norm |Re| + |Im|).
#pragma once

#include "core/cmatrix.h"
#include "core/errors.h"
#include "core/matrix.h"

namespace corvane {

// A⁻¹ in a new matrix; kCannotInvert when a pivot column is exhausted (complex: when
// a chosen pivot is (0, 0)).
Status Inverse(const Matrix& a, Matrix* result);
Status Inverse(const CMatrix& a, CMatrix* result);

}  // namespace corvane
