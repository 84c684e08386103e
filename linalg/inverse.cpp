#include "linalg/inverse.h"

#include "core/row_store.h"
#include "linalg/kernel_codes.h"
#include "linalg/kernels/elimination_policy.h"
#include "linalg/kernels/gauss_jordan.h"
#include "linalg/operands.h"

namespace corvane {
namespace {

template <class T, class P = EliminationPolicy<T>>
Status InverseOf(const BasicMatrix<T>& a, BasicMatrix<T>* result) {
    if (result == nullptr) return Status::NullPointer();
    if (Status s = CheckSquare(a); !s) return s;
    const std::int32_t n = a.Rows();
    RowStore<T> work, inverse;
    GaussJordanWork<T> steps;
    if (!CopyRows(a, &work) || !inverse.Allocate(n, n) || !steps.Reserve(n)) return Status::OutOfMemory();
    for (std::int32_t i = 0; i < n; ++i) inverse[i][i] = P::One();
    if (GaussJordanInverse<T, P>(work.data(), inverse.data(), n, steps) != kKernelOk) return kCannotInvert;
    BasicMatrix<T> out;
    if (!out.Size(n, n).ok()) return Status::OutOfMemory();
    for (std::int32_t i = 0; i < n; ++i)
        for (std::int32_t j = 0; j < n; ++j) out.at(i, j) = inverse[i][j];
    *result = std::move(out);
    return Status::Ok();
}

}  // namespace

Status Inverse(const Matrix& a, Matrix* result) { return InverseOf(a, result); }

Status Inverse(const CMatrix& a, CMatrix* result) { return InverseOf(a, result); }

}  // namespace corvane
