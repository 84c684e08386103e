// QR factorisation of a real or complex matrix with at least as many rows
// as columns.
#pragma once

#include "core/cmatrix.h"
#include "core/errors.h"
#include "core/matrix.h"

namespace corvane {

// A = Q·R by Householder reflections: Q m × n with orthonormal columns, R
// n × n upper triangular whose diagonal has the sign opposite to the
// reflected column's leading element. Outputs (may be null) are written R
// first, then Q; Q is formed only when requested. kTooFewRows when Rows < Cols.
Status QR(const Matrix& a, MatrixOut* Q, MatrixOut* R);

// The same by complex symmetric Householder reflections (no conjugation): Q
// with Qᵀ·Q = I (plain transpose) where every column was reflected. A column
// whose sum of squares is (0, 0) is not reflected; a leading element that
// would scale to exactly −1 takes the norm's other sign.
Status QR(const CMatrix& a, CMatrixOut* Q, CMatrixOut* R);

}  // namespace corvane
