// How the members of the matrix objects hand back a result.
#pragma once

#include <type_traits>

#include "server/error_record.h"

namespace corvane::server {

// Checks the caller's result pointer (E_POINTER when null) and, for a result
// that owns something (an object, an array, a string), clears it before the
// work: a failed call then leaves null there, never the caller's garbage that
// it might release or free. Numbers and records are written only on success.
template <class T>
HRESULT ClearResult(T* out) {
    if (out == nullptr) return Unreported(E_POINTER);
    if constexpr (std::is_pointer_v<T>) *out = nullptr;
    return S_OK;
}

}  // namespace corvane::server
