// Permutation indexes as VARIANTs: a host's index read through the core's
// PermIndexArgument, and a new VT_ARRAY | VT_I4 index written into the
// caller's VARIANT.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "core/buffer.h"
#include "core/perm_index.h"

namespace corvane::server {

class VariantPermIndex final : public PermIndexArgument {
public:
    explicit VariantPermIndex(const VARIANT* v) : v_(v) {}
    std::uint16_t VarType() const override;
    bool ArrayIsNull() const override { return Array() == nullptr; }
    std::int32_t Dimensions() const override;
    Status Bounds(std::int32_t* lower, std::int32_t* upper) const override;
    Status ReadEntries(std::int32_t* entries, std::int32_t count) const override;

private:
    SAFEARRAY* Array() const;
    const VARIANT* v_;
};

// A new zero-based VT_I4 array of n elements, filled later by StoreIndex.
HRESULT NewIndexArray(std::int32_t n, SAFEARRAY** out);
// Fills `array` from entries and stores it in *out (cleared first) as
// VT_ARRAY | VT_I4; the VARIANT owns it afterwards. A null out frees it.
void StoreIndex(SAFEARRAY* array, const Buffer<std::int32_t>& entries, VARIANT* out);

}  // namespace corvane::server
