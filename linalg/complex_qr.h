// QR factorisation of a complex matrix with at least as many rows as columns.
#pragma once

#include "core/cmatrix.h"
#include "core/errors.h"

namespace corvane {

// A = Q·R by complex symmetric Householder reflections (no conjugation): Q
// m × n with Qᵀ·Q = I (plain transpose) where every column was reflected, R
// n × n upper triangular. A column whose sum of squares is (0, 0) is not
// reflected; a leading element that would scale to exactly −1 takes the
// norm's other sign. Outputs (may be null) are written R first, then Q; Q is
// formed only when requested. 1318 when Rows < Cols.
Status QR(const CMatrix& a, CMatrixOut* Q, CMatrixOut* R);

}  // namespace corvane
