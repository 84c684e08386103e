#include "server/safe_array.h"

namespace corvane::server::detail {

Status PlatformStatus(HRESULT hr) { return hr == E_OUTOFMEMORY ? Status::OutOfMemory() : Status::Platform(hr); }

Status OpenArray(SAFEARRAY* array, std::int64_t* rows, std::int64_t* cols, LONG* lower1, LONG* lower2, UINT* dims) {
    if (array == nullptr) return kNotAnArray;
    VARTYPE type = VT_EMPTY;
    if (FAILED(SafeArrayGetVartype(array, &type)) || type != VT_R8) return kNotAnArray;
    *dims = SafeArrayGetDim(array);
    if (*dims != 1 && *dims != 2) return kNotAnArray;
    if (HRESULT hr = SafeArrayLock(array); FAILED(hr)) return PlatformStatus(hr);
    LONG upper1 = 0, upper2 = 0;
    *lower2 = 0;
    HRESULT hr = SafeArrayGetLBound(array, 1, lower1);
    if (SUCCEEDED(hr)) hr = SafeArrayGetUBound(array, 1, &upper1);
    if (SUCCEEDED(hr) && *dims == 2) hr = SafeArrayGetLBound(array, 2, lower2);
    if (SUCCEEDED(hr) && *dims == 2) hr = SafeArrayGetUBound(array, 2, &upper2);
    if (FAILED(hr)) {
        SafeArrayUnlock(array);
        return PlatformStatus(hr);
    }
    *rows = static_cast<std::int64_t>(upper1) - *lower1 + 1;
    *cols = *dims == 2 ? static_cast<std::int64_t>(upper2) - *lower2 + 1 : 1;
    return Status::Ok();
}

}  // namespace corvane::server::detail
