#include <cstdint>
#include <limits>

#include "core/sorting.h"
#include "digest.h"

namespace corvane {
namespace {

std::int64_t IndexHash(const Buffer<std::int32_t>& p) {
    std::uint64_t h = 1469598103934665603u;
    for (std::int32_t v : p) h = (h ^ static_cast<std::uint32_t>(v)) * 1099511628211u;
    return static_cast<std::int64_t>(h >> 1);
}

}  // namespace

CORVANE_DIGEST_CASE(sorting) {
    BasicMatrix<double> a = digest::Random<double>(40, 6, 10.0);
    for (std::int32_t i = 0; i < 40; i += 7) a.at(i, 2) = std::numeric_limits<double>::quiet_NaN();
    for (std::int32_t i = 1; i < 40; i += 5) a.at(i, 3) = a.at(0, 3);  // ties
    Buffer<std::int32_t> perm;
    out.Status("rows", SortRows(a, 2, 0, &perm));
    out.Matrix("rows", a);
    out.Int("rows_index", IndexHash(perm));
    out.Status("rows_desc", SortRows(a, 3, 1, &perm));
    out.Matrix("rows_desc", a);
    out.Int("rows_desc_index", IndexHash(perm));
    out.Status("cols", SortCols(a, 5, 1, &perm));
    out.Matrix("cols", a);
    out.Int("cols_index", IndexHash(perm));
    out.Status("reorder_rows_wrong_count", ReorderRows(a, perm));
    out.Status("reorder_cols", ReorderCols(a, perm));
    out.Matrix("reorder_cols", a);

    BasicMatrix<Complex> c = digest::Random<Complex>(30, 4, 3.0);
    out.Status("complex_rows", SortRows(c, 1, 0, &perm));
    out.Matrix("complex_rows", c);
    out.Int("complex_rows_index", IndexHash(perm));
    out.Status("complex_cols", SortCols(c, 29, 7, &perm));
    out.Matrix("complex_cols", c);
    out.Int("complex_cols_index", IndexHash(perm));
}

}  // namespace corvane
