#include "server/perm_index_variant.h"

#include <cstring>

#include "server/safe_array.h"

namespace corvane::server {

SAFEARRAY* VariantPermIndex::Array() const {
    if (V_VT(v_) & VT_BYREF) return V_ARRAYREF(v_) != nullptr ? *V_ARRAYREF(v_) : nullptr;
    return V_ARRAY(v_);
}

// The variant's type, but VT_EMPTY when it claims VT_I4 elements over an array
// whose elements are not 4 bytes: reading it as one would run past its data.
std::uint16_t VariantPermIndex::VarType() const {
    const VARTYPE type = V_VT(v_);
    if ((type & ~VT_BYREF) != (VT_ARRAY | VT_I4)) return type;
    SAFEARRAY* array = Array();
    if (array != nullptr && SafeArrayGetElemsize(array) != sizeof(std::int32_t)) return VT_EMPTY;
    return type;
}

std::int32_t VariantPermIndex::Dimensions() const { return static_cast<std::int32_t>(SafeArrayGetDim(Array())); }

Status VariantPermIndex::Bounds(std::int32_t* lower, std::int32_t* upper) const {
    LONG l = 0, u = 0;
    HRESULT hr = SafeArrayGetLBound(Array(), 1, &l);
    if (SUCCEEDED(hr)) hr = SafeArrayGetUBound(Array(), 1, &u);
    if (FAILED(hr)) return PlatformStatus(hr);
    *lower = l;
    *upper = u;
    return Status::Ok();
}

Status VariantPermIndex::ReadEntries(std::int32_t* entries, std::int32_t count) const {
    void* data = nullptr;
    const HRESULT hr = SafeArrayAccessData(Array(), &data);
    if (FAILED(hr)) return PlatformStatus(hr);
    if (data == nullptr && count > 0) {  // a descriptor whose elements were never allocated
        SafeArrayUnaccessData(Array());
        return PlatformStatus(E_POINTER);
    }
    std::memcpy(entries, data, static_cast<std::size_t>(count) * sizeof(std::int32_t));
    SafeArrayUnaccessData(Array());
    return Status::Ok();
}

HRESULT NewIndexArray(std::int32_t n, SAFEARRAY** out) {
    SAFEARRAYBOUND bound{static_cast<ULONG>(n), 0};
    *out = SafeArrayCreate(VT_I4, 1, &bound);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

void StoreIndex(SAFEARRAY* array, const Buffer<std::int32_t>& entries, VARIANT* out) {
    void* data = nullptr;
    if (SUCCEEDED(SafeArrayAccessData(array, &data))) {
        std::memcpy(data, entries.data(), static_cast<std::size_t>(entries.size()) * sizeof(std::int32_t));
        SafeArrayUnaccessData(array);
    }
    if (out == nullptr) {
        SafeArrayDestroy(array);
        return;
    }
    VariantClear(out);
    V_VT(out) = VT_ARRAY | VT_I4;
    V_ARRAY(out) = array;
}

}  // namespace corvane::server
