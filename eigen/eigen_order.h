// The order in which the eigen methods report eigenvalues: descending
// modulus, equal moduli by ascending position.
#pragma once

#include <cstdint>

namespace corvane {

// One eigenvalue's place in the output order.
struct EigenOrderRecord {
    double modulus;      // sqrt(wr² + wi²)
    std::int32_t index;  // position in wr, wi
};

// Fills records[0..n−1] from wr, wi and sorts them: descending modulus, equal
// moduli by ascending position; NaN moduli after all others, by position (so
// the comparison stays a strict weak ordering).
void EigenOrder(std::int32_t n, const double* wr, const double* wi, EigenOrderRecord* records);

}  // namespace corvane
