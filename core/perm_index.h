// The permutation index as it arrives from a host: a VARIANT that should hold
// a one-dimensional, zero-based array of signed 32-bit integers, one entry per
// row (or column). The automation layer describes the VARIANT through
// PermIndexArgument; every check and its message is made here.
#pragma once

#include <cstdint>

#include "core/buffer.h"
#include "core/errors.h"

namespace corvane {

// VARIANT type bits of a permutation index.
inline constexpr std::uint16_t kVarTypeI4 = 3;
inline constexpr std::uint16_t kVarTypeArray = 0x2000;
inline constexpr std::uint16_t kVarTypeByRef = 0x4000;

// What the checks need to know of the VARIANT, asked in the order of the
// checks, so nothing is asked of an array that is not there. A failed
// platform call ends the operation with its own status.
class PermIndexArgument {
public:
    // The VARIANT's type as stored, VT_BYREF included.
    virtual std::uint16_t VarType() const = 0;
    // Whether the array pointer is null (for VT_BYREF, the one reached
    // through the reference; a null reference counts as a null array).
    virtual bool ArrayIsNull() const = 0;
    virtual std::int32_t Dimensions() const = 0;
    // Lower and upper bound of the first dimension.
    virtual Status Bounds(std::int32_t* lower, std::int32_t* upper) const = 0;
    // Elements 0 … count − 1 of a one-dimensional array whose bounds have
    // been checked to be 0 … count − 1.
    virtual Status ReadEntries(std::int32_t* entries, std::int32_t count) const = 0;

protected:
    ~PermIndexArgument() = default;
};

// Checks a permutation index meant for `count` rows (columns) and reads its
// entries into *entries (written only on success). In this order: a null
// argument (no VARIANT) kArrayWrongSize; not VT_ARRAY | VT_I4, with or without
// VT_BYREF, kNotAnArray; a null array, not one dimension, lower bound not 0, or not
// `count` elements, kArrayWrongSize. The entries themselves are not checked.
Status ReadPermIndex(const PermIndexArgument* argument, std::int32_t count, Buffer<std::int32_t>* entries);

}  // namespace corvane
