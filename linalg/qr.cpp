#include "linalg/qr.h"

#include "core/buffer.h"
#include "core/output.h"
#include "core/row_store.h"
#include "linalg/kernels/qr.h"
#include "linalg/kernels/qr_blocked.h"
#include "linalg/operands.h"
#include "linalg/qr_reflect.h"

namespace corvane {
namespace {

// Columns per panel of the blocked path, which matrices with more columns
// take: its vectors (panel × m elements) stay in cache beside a column group.
constexpr std::int32_t kPanel = 32;

// Checks, the private copy, the factorisation, Q only when requested; R is
// written before Q. The panels' work storage is taken last: without it the
// unblocked loops give the same bits.
template <class T, class P = HouseholderPolicy<T>>
Status QROf(const BasicMatrix<T>& a, MatrixWriter<T>* Q, MatrixWriter<T>* R) {
    if (!a.sized()) return kNotSized;
    const std::int32_t m = a.Rows(), n = a.Cols();
    if (m < n) return kTooFewRows;
    RowStore<T> w, q;
    Buffer<T> rdiag, sums;
    if (!CopyRows(a, &w) || !rdiag.Allocate(n) || !sums.Allocate(n) || (Q != nullptr && !q.Allocate(m, n)))
        return Status::OutOfMemory();
    Buffer<T> v, factor;
    Buffer<std::int32_t> top;
    if (n > kPanel && v.Allocate(static_cast<std::int64_t>(kPanel) * m) && factor.Allocate(kPanel) &&
        top.Allocate(kPanel)) {
        const QRPanelWork<T> work{v.data(), factor.data(), top.data(), kPanel};
        const ReflectFn<T> reflect = ChosenReflect(static_cast<const T*>(nullptr));
        (void)HouseholderQRBlocked<T, P>(w.data(), m, n, rdiag.data(), work, reflect);
        if (Q != nullptr) (void)HouseholderFormQBlocked<T, P>(w.data(), rdiag.data(), m, n, q.data(), work, reflect);
    } else {
        (void)HouseholderQR<T, P>(w.data(), m, n, rdiag.data(), sums.data());
        if (Q != nullptr) (void)HouseholderFormQ<T, P>(w.data(), rdiag.data(), m, n, q.data(), sums.data());
    }
    WriteOutput(R, n, n,
                [&](std::int32_t i, std::int32_t j) { return i < j ? w[i][j] : (i == j ? rdiag[i] : P::Zero()); });
    WriteOutput(Q, m, n, [&](std::int32_t i, std::int32_t j) { return q[i][j]; });
    return Status::Ok();
}

}  // namespace

Status QR(const Matrix& a, MatrixOut* Q, MatrixOut* R) { return QROf(a, Q, R); }

Status QR(const CMatrix& a, CMatrixOut* Q, CMatrixOut* R) { return QROf(a, Q, R); }

}  // namespace corvane
