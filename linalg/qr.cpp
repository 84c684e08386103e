#include "linalg/qr.h"

#include "core/buffer.h"
#include "core/output.h"
#include "core/row_store.h"
#include "linalg/kernels/qr.h"
#include "linalg/operands.h"

namespace corvane {
namespace {

// Checks, the private copy, the factorisation, Q only when requested; R is
// written before Q.
template <class T, class P = HouseholderPolicy<T>>
Status QROf(const BasicMatrix<T>& a, MatrixWriter<T>* Q, MatrixWriter<T>* R) {
    if (!a.sized()) return kNotSized;
    const std::int32_t m = a.Rows(), n = a.Cols();
    if (m < n) return kTooFewRows;
    RowStore<T> w, q;
    Buffer<T> rdiag, sums;
    if (!CopyRows(a, &w) || !rdiag.Allocate(n) || !sums.Allocate(n) || (Q != nullptr && !q.Allocate(m, n)))
        return Status::OutOfMemory();
    (void)HouseholderQR<T, P>(w.data(), m, n, rdiag.data(), sums.data());
    if (Q != nullptr) (void)HouseholderFormQ<T, P>(w.data(), rdiag.data(), m, n, q.data(), sums.data());
    WriteOutput(R, n, n, [&](std::int32_t i, std::int32_t j) {
        return i < j ? w[i][j] : (i == j ? rdiag[i] : P::Zero());
    });
    WriteOutput(Q, m, n, [&](std::int32_t i, std::int32_t j) { return q[i][j]; });
    return Status::Ok();
}

}  // namespace

Status QR(const Matrix& a, MatrixOut* Q, MatrixOut* R) { return QROf(a, Q, R); }

Status QR(const CMatrix& a, CMatrixOut* Q, CMatrixOut* R) { return QROf(a, Q, R); }

}  // namespace corvane
