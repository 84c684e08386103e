#include "linalg/complex_cholesky.h"

#include "linalg/cholesky_kernels.h"

namespace corvane {

Status Cholesky(const CMatrix& a, CMatrixOut* L) { return detail::CholeskyOf(a, L); }

}  // namespace corvane
