// Whole matrices to and from automation arrays of doubles (AsArray, AsArrayR,
// AsArrayI): the array side of the conversion.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>

#include "core/basic_matrix.h"

namespace corvane::server {

// A new two-dimensional VT_R8 array, bounds 0 … Rows − 1 and 0 … Cols − 1,
// element (i, j) = part(A(i, j)). Fails with 1321 on an unsized matrix, or with
// the platform's code when the array cannot be made.
template <class T, class Part>
Status ArrayFromMatrix(const BasicMatrix<T>& a, Part part, SAFEARRAY** out);

// Reshapes a to the array's extents (one dimension: a column) through its own
// Size and stores each array element with store(A(i, j), value). The caller's
// array is only read, locked for the call. 1303 for no array, another element
// type or another number of dimensions; Size's message for a zero extent.
template <class T, class Store>
Status MatrixFromArray(SAFEARRAY* array, BasicMatrix<T>& a, Store store);

// ---- implementation ----

namespace detail {
Status PlatformStatus(HRESULT hr);
// Locks the array and reads its shape; 1303 when it is not a 1- or 2-dimensional
// array of doubles, Status::Ok() with the array locked otherwise.
Status OpenArray(SAFEARRAY* array, std::int64_t* rows, std::int64_t* cols, LONG* lower1, LONG* lower2, UINT* dims);
}  // namespace detail

template <class T, class Part>
Status ArrayFromMatrix(const BasicMatrix<T>& a, Part part, SAFEARRAY** out) {
    if (out == nullptr) return Status::NullPointer();
    if (!a.sized()) return kNotSized;
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(a.Rows()), 0}, {static_cast<ULONG>(a.Cols()), 0}};
    SAFEARRAY* array = SafeArrayCreate(VT_R8, 2, bounds);
    if (array == nullptr) return Status::OutOfMemory();
    HRESULT hr = SafeArrayLock(array);
    for (std::int32_t i = 0; SUCCEEDED(hr) && i < a.Rows(); ++i) {
        for (std::int32_t j = 0; SUCCEEDED(hr) && j < a.Cols(); ++j) {
            LONG index[2] = {i, j};
            double value = part(a.at(i, j));
            hr = SafeArrayPutElement(array, index, &value);
        }
    }
    if (SUCCEEDED(hr)) hr = SafeArrayUnlock(array);
    if (FAILED(hr)) {
        SafeArrayDestroy(array);
        return detail::PlatformStatus(hr);
    }
    *out = array;
    return Status::Ok();
}

template <class T, class Store>
Status MatrixFromArray(SAFEARRAY* array, BasicMatrix<T>& a, Store store) {
    std::int64_t rows = 0, cols = 0;
    LONG lower1 = 0, lower2 = 0;
    UINT dims = 0;
    if (Status s = detail::OpenArray(array, &rows, &cols, &lower1, &lower2, &dims); !s) return s;
    auto count = [](std::int64_t n) { return n >= 1 && n <= kMaxSize ? static_cast<std::int32_t>(n) : 0; };
    Status result = a.Size(count(rows), count(cols));
    for (std::int32_t i = 0; result && i < a.Rows(); ++i) {
        for (std::int32_t j = 0; result && j < a.Cols(); ++j) {
            LONG index[2] = {lower1 + i, lower2 + j};
            double value = 0.0;
            const HRESULT hr = SafeArrayGetElement(array, index, &value);
            if (FAILED(hr)) result = detail::PlatformStatus(hr);
            else store(a.at(i, j), value);
        }
    }
    SafeArrayUnlock(array);
    return result;
}

}  // namespace corvane::server
