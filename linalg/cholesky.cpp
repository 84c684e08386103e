#include "linalg/cholesky.h"

#include "core/output.h"
#include "core/row_store.h"
#include "linalg/kernel_codes.h"
#include "linalg/kernels/cholesky.h"
#include "linalg/operands.h"

namespace corvane {
namespace {

// Checks, the private copy, the kernel, then only the lower triangle of L.
template <class T>
Status CholeskyOf(const BasicMatrix<T>& a, MatrixWriter<T>* L) {
    if (Status s = CheckSquare(a); !s) return s;
    const std::int32_t n = a.Rows();
    RowStore<T> work;
    if (!CopyRows(a, &work)) return Status::OutOfMemory();
    if (CholeskyCrout<T>(work.data(), n) != kKernelOk) return kNotPositiveDefinite;
    WriteLowerTriangle(L, n, [&](std::int32_t i, std::int32_t j) { return work[i][j]; });
    return Status::Ok();
}

}  // namespace

Status Cholesky(const Matrix& a, MatrixOut* L) { return CholeskyOf(a, L); }

Status Cholesky(const CMatrix& a, CMatrixOut* L) { return CholeskyOf(a, L); }

}  // namespace corvane
