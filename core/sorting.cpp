#include "core/sorting.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "core/row_store.h"

namespace corvane {
namespace {

double SortKey(double x) { return x; }
double SortKey(Complex x) { return Modulus(x); }

struct SortRecord {
    double key;
    std::int32_t index;  // row (column) before sorting
};

// A strict total order: smaller keys first, NaN keys after every number, and
// equal keys (NaN among NaN, −0 beside +0) by their original index. So the
// sort is O(n log n) on every input, stays within its array, and the result
// does not depend on the sorting algorithm.
bool Before(const SortRecord& a, const SortRecord& b) {
    const bool aNaN = std::isnan(a.key), bNaN = std::isnan(b.key);
    if (aNaN != bNaN) return bNaN;
    if (!aNaN && a.key != b.key) return a.key < b.key;
    return a.index < b.index;
}

// Sorts records (key(k), k) for k = 0 … n − 1 and gives, for each k, its
// place in ascending order (into *positions) and its destination for the
// requested order (into *targets). Allocates all it needs before anything is
// changed.
template <class KeyFn>
Status Rank(std::int32_t n, KeyFn key, std::int32_t sortOrder, Buffer<std::int32_t>* positions,
            Buffer<std::int32_t>* targets) {
    Buffer<SortRecord> records;
    Buffer<std::int32_t> pos, dest;
    if (!records.Allocate(n) || !pos.Allocate(n) || !dest.Allocate(n)) return Status::OutOfMemory();
    for (std::int32_t k = 0; k < n; ++k) records[k] = SortRecord{key(k), k};
    std::sort(records.begin(), records.end(), Before);  // introsort: bounded depth, O(n log n)
    for (std::int32_t place = 0; place < n; ++place) pos[records[place].index] = place;
    for (std::int32_t k = 0; k < n; ++k) dest[k] = sortOrder == msoAscending ? pos[k] : n - 1 - pos[k];
    positions->swap(pos);
    targets->swap(dest);
    return Status::Ok();
}

// New row dest(r) = old row r, for a true permutation: follows its cycles,
// exchanging row blocks (pointers only), at most n − 1 exchanges. Consumes
// dest.
template <class T>
void PermuteRows(BasicMatrix<T>& m, Buffer<std::int32_t>& dest) {
    for (std::int32_t i = 0; i < m.Rows(); ++i) {
        while (dest[i] != i) {
            const std::int32_t j = dest[i];
            (void)m.SwapRows(i, j);  // the row at i reaches its place j
            std::swap(dest[i], dest[j]);
        }
    }
}

// Element moves by bytes, so every value (signalling NaN payloads included)
// arrives unchanged on every build.
template <class T>
void MoveElement(T* to, const T* from) {
    std::memcpy(to, from, sizeof(T));
}

// For every row: element dest(j) = old element j, where `dest(j)` is called
// for j in increasing order and may answer −1 to skip j. Elements not written
// keep their value.
template <class T, class DestFn>
Status RearrangeColumns(BasicMatrix<T>& m, DestFn dest) {
    Buffer<T> old;
    if (!old.Allocate(m.Cols())) return Status::OutOfMemory();
    for (std::int32_t i = 0; i < m.Rows(); ++i) {
        T* row = &m.at(i, 0);
        std::memcpy(old.data(), row, m.RowBytes());
        for (std::int32_t j = 0; j < m.Cols(); ++j) {
            const std::int32_t to = dest(j);
            if (to >= 0) MoveElement(row + to, old.data() + j);
        }
    }
    return Status::Ok();
}

}  // namespace

// SortRows of both matrix objects.
template <class T>
Status SortRows(BasicMatrix<T>& m, std::int32_t colIndex, std::int32_t sortOrder, Buffer<std::int32_t>* permIndex) {
    if (!m.sized()) return kNotSized;
    if (colIndex < 0 || colIndex > m.Cols() - 1) return kColIndex;
    Buffer<std::int32_t> pos, dest;
    const auto key = [&](std::int32_t r) { return SortKey(m.at(r, colIndex)); };
    if (Status s = Rank(m.Rows(), key, sortOrder, &pos, &dest); !s) return s;
    PermuteRows(m, dest);
    if (permIndex != nullptr) permIndex->swap(pos);
    return Status::Ok();
}

// SortCols of both matrix objects.
template <class T>
Status SortCols(BasicMatrix<T>& m, std::int32_t rowIndex, std::int32_t sortOrder, Buffer<std::int32_t>* permIndex) {
    if (!m.sized()) return kNotSized;
    if (rowIndex < 0 || rowIndex > m.Rows() - 1) return kRowIndex;
    Buffer<std::int32_t> pos, dest;
    const auto key = [&](std::int32_t c) { return SortKey(m.at(rowIndex, c)); };
    if (Status s = Rank(m.Cols(), key, sortOrder, &pos, &dest); !s) return s;
    if (Status s = RearrangeColumns(m, [&](std::int32_t j) { return dest[j]; }); !s) return s;
    if (permIndex != nullptr) permIndex->swap(pos);
    return Status::Ok();
}

// ReorderRows of both matrix objects, on entries already read: a copy of
// every row, then each valid entry writes its row in increasing r.
template <class T>
Status ReorderRows(BasicMatrix<T>& m, const Buffer<std::int32_t>& entries) {
    if (!m.sized()) return kNotSized;
    const std::int32_t n = m.Rows();
    if (entries.size() != n) return kArrayWrongSize;
    RowStore<T> old;
    if (!old.Allocate(n, m.Cols())) return Status::OutOfMemory();
    for (std::int32_t r = 0; r < n; ++r) std::memcpy(old[r], &m.at(r, 0), m.RowBytes());
    for (std::int32_t r = 0; r < n; ++r) {
        const std::int32_t to = entries[r];
        if (to >= 0 && to <= n - 1) std::memcpy(&m.at(to, 0), old[r], m.RowBytes());
    }
    return Status::Ok();
}

// ReorderCols of both matrix objects, on entries already read.
template <class T>
Status ReorderCols(BasicMatrix<T>& m, const Buffer<std::int32_t>& entries) {
    if (!m.sized()) return kNotSized;
    const std::int32_t n = m.Cols();
    if (entries.size() != n) return kArrayWrongSize;
    return RearrangeColumns(m, [&](std::int32_t j) {
        const std::int32_t to = entries[j];
        return to >= 0 && to <= n - 1 ? to : -1;
    });
}

template <class T>
Status ReorderRows(BasicMatrix<T>& m, const PermIndexArgument* permIndex) {
    if (!m.sized()) return kNotSized;
    Buffer<std::int32_t> entries;
    if (Status s = ReadPermIndex(permIndex, m.Rows(), &entries); !s) return s;
    return ReorderRows(m, entries);
}

template <class T>
Status ReorderCols(BasicMatrix<T>& m, const PermIndexArgument* permIndex) {
    if (!m.sized()) return kNotSized;
    Buffer<std::int32_t> entries;
    if (Status s = ReadPermIndex(permIndex, m.Cols(), &entries); !s) return s;
    return ReorderCols(m, entries);
}

CORVANE_SORTING_INSTANCES(template, double)
CORVANE_SORTING_INSTANCES(template, Complex)

}  // namespace corvane
