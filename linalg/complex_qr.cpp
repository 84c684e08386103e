#include "linalg/complex_qr.h"

#include "linalg/qr_kernels.h"

namespace corvane {

Status QR(const CMatrix& a, CMatrixOut* Q, CMatrixOut* R) { return detail::QROf(a, Q, R); }

}  // namespace corvane
