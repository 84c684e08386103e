#include "linalg/qr.h"

#include "linalg/qr_kernels.h"

namespace corvane {

int HouseholderQR(double** w, std::int32_t m, std::int32_t n, double* rdiag, double* sums) {
    return HouseholderQR<double>(w, m, n, rdiag, sums);
}

int HouseholderFormQ(double* const* w, std::int32_t m, std::int32_t n, double** q, double* sums) {
    // A reflected real column has w(k, k) >= 1, an unreflected one 0: the
    // leading element alone tells them apart.
    return HouseholderFormQ<double>(w, nullptr, m, n, q, sums);
}

Status QR(const Matrix& a, MatrixOut* Q, MatrixOut* R) { return detail::QROf(a, Q, R); }

}  // namespace corvane
