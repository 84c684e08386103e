#include "linalg/complex_inverse.h"

#include "linalg/complex_elimination_policy.h"
#include "linalg/elimination_operations.h"
#include "linalg/solve.h"

namespace corvane {

Status Inverse(const CMatrix& a, CMatrix* result) { return detail::InverseOf(a, result); }

Status SolveGauss(const CMatrix& a, const CMatrixIn* rhs, CMatrix* result) {
    return detail::SolveGaussOf(a, rhs, result);
}

Status Solve(const CMatrix& a, const CMatrixIn* rhs, CMatrix* result) { return detail::SolveOf(a, rhs, result); }

}  // namespace corvane
