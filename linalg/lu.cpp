#include "linalg/lu.h"

#include "linalg/elimination_operations.h"

namespace corvane {

Status LU(const Matrix& a, MatrixOut* L, MatrixOut* U, Buffer<std::int32_t>* permIndex, std::int32_t* permSign) {
    return detail::LUOf(a, L, U, permIndex, permSign);
}

Status Determinant(const Matrix& a, double* det) { return detail::DeterminantOf(a, det); }

}  // namespace corvane
