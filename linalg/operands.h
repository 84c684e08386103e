// What every decomposition does first with the matrix it is called on: the
// shape checks and a private work copy of the elements.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/basic_matrix.h"
#include "core/errors.h"
#include "core/row_store.h"

namespace corvane {

// Unsized first, then square.
template <class T>
Status CheckSquare(const BasicMatrix<T>& a) {
    if (!a.sized()) return kNotSized;
    if (a.Rows() != a.Cols()) return kNotSquare;
    return Status::Ok();
}

// Copies the rows of a sized matrix into a freshly allocated work array (not
// zero-filled first: the copy overwrites it whole); false when memory cannot
// be obtained.
template <class T>
[[nodiscard]] bool CopyRows(const BasicMatrix<T>& a, RowStore<T>* work) {
    if (!work->AllocateUnfilled(a.Rows(), a.Cols())) return false;
    for (std::int32_t i = 0; i < a.Rows(); ++i) std::memcpy((*work)[i], a.rows()[i], a.RowBytes());
    return true;
}

}  // namespace corvane
