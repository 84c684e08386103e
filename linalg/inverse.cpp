#include "linalg/inverse.h"

#include "linalg/elimination_operations.h"

namespace corvane {

Status Inverse(const Matrix& a, Matrix* result) { return detail::InverseOf(a, result); }

Status SolveGauss(const Matrix& a, const MatrixIn* rhs, Matrix* result) {
    return detail::SolveGaussOf(a, rhs, result);
}

}  // namespace corvane
