// A host's SAFEARRAY of doubles seen through the core's ArraySource (puts) and
// ArraySink (gets).
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "core/array_conversion.h"

namespace corvane::server {

// Reads the caller's array, locked for the adapter's life; never frees or
// changes it. A null array has 0 dimensions.
class SafeArraySource final : public ArraySource {
public:
    explicit SafeArraySource(SAFEARRAY* array);
    ~SafeArraySource();
    SafeArraySource(const SafeArraySource&) = delete;
    SafeArraySource& operator=(const SafeArraySource&) = delete;
    // The result of locking the array (S_OK for no array).
    HRESULT LockResult() const { return lockResult_; }

    std::int32_t Dimensions() const override;
    Status Bounds(std::int32_t dim, std::int32_t* lower, std::int32_t* upper) const override;
    bool HoldsDoubles() const override;
    Status Read(std::int32_t first, std::int32_t second, double* value) const override;

private:
    SAFEARRAY* array_;
    HRESULT lockResult_ = S_OK;
};

// Makes the new two-dimensional VT_R8 array of a get; Release hands it out,
// otherwise it is destroyed with the sink.
class SafeArraySink final : public ArraySink {
public:
    SafeArraySink() = default;
    ~SafeArraySink();
    SafeArraySink(const SafeArraySink&) = delete;
    SafeArraySink& operator=(const SafeArraySink&) = delete;

    Status Create(std::int32_t rows, std::int32_t cols) override;
    Status Write(std::int32_t row, std::int32_t col, double value) override;
    SAFEARRAY* Release();

private:
    SAFEARRAY* array_ = nullptr;
};

// A failed platform call as a core status.
inline Status PlatformStatus(HRESULT hr) {
    return hr == E_OUTOFMEMORY ? Status::OutOfMemory() : Status::Platform(static_cast<std::int32_t>(hr));
}

}  // namespace corvane::server
