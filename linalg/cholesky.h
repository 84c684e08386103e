// Cholesky factorisation of a real or complex symmetric matrix.
#pragma once

#include "core/cmatrix.h"
#include "core/errors.h"
#include "core/matrix.h"

namespace corvane {

// A = L·Lᵀ, column by column, verifying exact symmetry pair by pair. L (may
// be null) is sized n × n and only its lower triangle written; kNotPositiveDefinite for an
// asymmetric pair or a pivot <= 0.
Status Cholesky(const Matrix& a, MatrixOut* L);

// The same with the plain transpose (A equal to its plain transpose, not
// Hermitian). The diagonal is the principal square root of each pivot, with
// no test of the pivot; kNotPositiveDefinite for an asymmetric pair.
Status Cholesky(const CMatrix& a, CMatrixOut* L);

}  // namespace corvane
