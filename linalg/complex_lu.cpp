#include "linalg/complex_lu.h"

#include "linalg/complex_elimination_policy.h"
#include "linalg/elimination_operations.h"

namespace corvane {

Status LU(const CMatrix& a, CMatrixOut* L, CMatrixOut* U, Buffer<std::int32_t>* permIndex, std::int32_t* permSign) {
    return detail::LUOf(a, L, U, permIndex, permSign);
}

Status Determinant(const CMatrix& a, Complex* det) { return detail::DeterminantOf(a, det); }

}  // namespace corvane
