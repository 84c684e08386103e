#include "server/safe_array.h"

namespace corvane::server {

SafeArraySource::SafeArraySource(SAFEARRAY* array) : array_(array) {
    if (array_ != nullptr) {
        lockResult_ = SafeArrayLock(array_);
        if (FAILED(lockResult_)) array_ = nullptr;
    }
}

SafeArraySource::~SafeArraySource() {
    if (array_ != nullptr) SafeArrayUnlock(array_);
}

std::int32_t SafeArraySource::Dimensions() const {
    return array_ != nullptr ? static_cast<std::int32_t>(SafeArrayGetDim(array_)) : 0;
}

Status SafeArraySource::Bounds(std::int32_t dim, std::int32_t* lower, std::int32_t* upper) const {
    LONG l = 0, u = 0;
    HRESULT hr = SafeArrayGetLBound(array_, static_cast<UINT>(dim), &l);
    if (SUCCEEDED(hr)) hr = SafeArrayGetUBound(array_, static_cast<UINT>(dim), &u);
    if (FAILED(hr)) return PlatformStatus(hr);
    *lower = l;
    *upper = u;
    return Status::Ok();
}

// Doubles only when the elements are 8 bytes: a descriptor that claims VT_R8
// over other elements would be read out of bounds.
bool SafeArraySource::HoldsDoubles() const {
    VARTYPE type = VT_EMPTY;
    return array_ != nullptr && SUCCEEDED(SafeArrayGetVartype(array_, &type)) && type == VT_R8 &&
           SafeArrayGetElemsize(array_) == sizeof(double);
}

Status SafeArraySource::Read(std::int32_t first, std::int32_t second, double* value) const {
    if (array_->pvData == nullptr) return PlatformStatus(E_POINTER);  // elements never allocated
    LONG index[2] = {first, second};
    const HRESULT hr = SafeArrayGetElement(array_, index, value);
    return SUCCEEDED(hr) ? Status::Ok() : PlatformStatus(hr);
}

SafeArraySink::~SafeArraySink() {
    if (array_ != nullptr) SafeArrayDestroy(array_);
}

Status SafeArraySink::Create(std::int32_t rows, std::int32_t cols) {
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows), 0}, {static_cast<ULONG>(cols), 0}};
    array_ = SafeArrayCreate(VT_R8, 2, bounds);
    return array_ != nullptr ? Status::Ok() : Status::OutOfMemory();
}

Status SafeArraySink::Write(std::int32_t row, std::int32_t col, double value) {
    LONG index[2] = {row, col};
    const HRESULT hr = SafeArrayPutElement(array_, index, &value);
    return SUCCEEDED(hr) ? Status::Ok() : PlatformStatus(hr);
}

SAFEARRAY* SafeArraySink::Release() {
    SAFEARRAY* out = array_;
    array_ = nullptr;
    return out;
}

}  // namespace corvane::server
