#include "linalg/solve.h"

namespace corvane {

Status Solve(const Matrix& a, const MatrixIn* rhs, Matrix* result) { return detail::SolveOf(a, rhs, result); }

}  // namespace corvane
