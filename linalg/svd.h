// Singular value decomposition of a real matrix of any shape.
#pragma once

#include <cstdint>

#include "core/errors.h"
#include "core/matrix.h"

namespace corvane {

// A = U·S·Vᵀ (Golub–Reinsch): U m × n, S n × n diagonal with the singular
// values in decreasing order, V n × n orthogonal. Outputs (each may be null;
// work serving only a missing output is skipped) are written U, S, V; S is
// cleared and only its diagonal written. 1316 when a singular value has not
// converged after 30 sweeps.
Status SVD(const Matrix& a, MatrixOut* U, MatrixOut* S, MatrixOut* V);

inline constexpr std::int32_t kSvdSweepLimit = 30;

// Kernel on 0-based row-pointer arrays. a (m × n) is overwritten; w and e
// (n each) receive the singular values (unsorted, non-negative) and work
// values; sigma (n) is work storage. The factors are returned transposed:
// ut (n × m, row j = column j of U) and vt (n × n, zero-filled, row j =
// column j of V), each null when not wanted. At most sweepLimit sweeps are
// made per singular value; *mostSweeps receives the largest number made for
// one value. kKernelNoConvergence when a value needs more.
int GolubReinschSVD(double** a, std::int32_t m, std::int32_t n, double* w, double* e, double* sigma, double** ut,
                    double** vt, std::int32_t sweepLimit, std::int32_t* mostSweeps);

// Positions of the singular values in decreasing order of magnitude (NaN
// last), a stable insertion sort so the order is the same on every build.
void OrderByDecreasingMagnitude(const double* w, std::int32_t n, std::int32_t* order);

}  // namespace corvane
