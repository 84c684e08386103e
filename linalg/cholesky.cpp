#include "linalg/cholesky.h"

#include "linalg/cholesky_kernels.h"

namespace corvane {

int CholeskyCrout(double** a, std::int32_t n) { return CholeskyCrout<double>(a, n); }

Status Cholesky(const Matrix& a, MatrixOut* L) { return detail::CholeskyOf(a, L); }

}  // namespace corvane
