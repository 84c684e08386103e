// The symmetric rank-two update shared by the values and vectors paths of the
// tridiagonalisation (tred1, tred2).
#pragma once

#include <cstdint>

#include "eigen/row_operations.h"

namespace corvane {

// Copies the lower triangle of rows 0..last into the upper one, so that the
// working matrix is held in full and its columns can be read as rows.
void MirrorLowerTriangle(std::int32_t last, double* const* s);

// The Householder vector of w[0..l], whose magnitudes sum to scale (not 0):
// w scaled by 1 / scale, g = −sign(f)·‖w‖ with f = w[l], *ei = scale·g,
// w[l] = f − g; returns h = ‖w‖² − f·g.
double FormHouseholderVector(std::int32_t l, double scale, double* w, double* ei);

// From p = A·u: p = p / h − K·u with K = uᵀp / 2h² (the vector tred1/tred2
// subtract in the rank-two update).
void FinishUpdateVector(std::int32_t l, const double* w, double* p, double h);

// One Householder step on the symmetric s (rows and columns 0..l, held in
// full): with u = w[0..l] and h = uᵀu / 2, e[0..l] = p − K·u where p = A·u / h
// and K = uᵀp / 2h, then A − u·eᵀ − e·uᵀ on both triangles. Every element is
// formed as tred1/tred2 form it on the lower triangle: A·u in increasing
// column order, each updated element from the same products in the same order.
void HouseholderUpdate(const RowOperations& ops, std::int32_t l, double* const* s, const double* w, double* e,
                       double h);

}  // namespace corvane
