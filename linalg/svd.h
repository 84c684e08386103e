// Singular value decomposition of a real matrix of any shape.
#pragma once

#include "core/errors.h"
#include "core/matrix.h"

namespace corvane {

// A = U·S·Vᵀ (Golub–Reinsch): U m × n, S n × n diagonal with the singular
// values in decreasing order, V n × n orthogonal. Outputs (each may be null;
// work serving only a missing output is skipped) are written U, S, V; S is
// cleared and only its diagonal written. kSVDFailed when a singular value has not
// converged after 30 sweeps.
Status SVD(const Matrix& a, MatrixOut* U, MatrixOut* S, MatrixOut* V);

}  // namespace corvane
