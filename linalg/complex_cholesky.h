// Cholesky factorisation of a complex symmetric matrix.
#pragma once

#include "core/cmatrix.h"
#include "core/errors.h"

namespace corvane {

// A = L·Lᵀ with the plain transpose (A equal to its plain transpose, not
// Hermitian), column by column, verifying exact symmetry pair by pair. The
// diagonal is the principal square root of each pivot, with no test of the
// pivot. L (may be null) is sized n × n and only its lower triangle written;
// 1314 for an asymmetric pair.
Status Cholesky(const CMatrix& a, CMatrixOut* L);

}  // namespace corvane
