// First, straightforward forms of the kernels that also have a faster form
// with the same sequence of floating-point operations for every element.
// Kept as the reference the fast forms are tested against, bit for bit.
#pragma once

#include <cstdint>

namespace corvane {

// GolubReinschSVD on the m × n array a (left factor left in a when wantU)
// and the n × n right factor v (null when not wanted).
int GolubReinschSVDReference(double** a, std::int32_t m, std::int32_t n, double* w, double* e, double** v,
                             bool wantU, std::int32_t sweepLimit, std::int32_t* mostSweeps);

// HouseholderQR and HouseholderFormQ, one column sum at a time.
int HouseholderQRReference(double** w, std::int32_t m, std::int32_t n, double* rdiag);
int HouseholderFormQReference(double* const* w, std::int32_t m, std::int32_t n, double** q);

}  // namespace corvane
