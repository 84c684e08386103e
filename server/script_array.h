// Arrays as script hosts pass them late-bound: a SAFEARRAY of VARIANTs
// (VBScript's Array and Dim arrays, Excel's 1-based Range.Value), by value or
// by reference, or a JScript array (an object with a length and elements
// named "0", "1", …; an array of equal-length arrays for two dimensions).
// Seen through the core's ArraySource (AsArray puts) and PermIndexArgument
// (ReorderRows, ReorderCols): elements must be numbers of an automation
// numeric type (whole numbers in the 32-bit range for an index); anything
// else is reported as "not an array of the expected type".
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "core/array_conversion.h"
#include "core/perm_index.h"

namespace corvane::server {

// One script array, read element by element. Nothing is copied or changed.
class ScriptArray {
public:
    // Binds to v when it holds a script array (following VT_BYREF); otherwise
    // Bound() is false and the argument is left to the typed-array path.
    explicit ScriptArray(const VARIANT* v);
    ~ScriptArray();
    ScriptArray(const ScriptArray&) = delete;
    ScriptArray& operator=(const ScriptArray&) = delete;

    bool Bound() const { return array_ != nullptr || object_ != nullptr; }
    std::int32_t Dimensions() const { return dims_; }
    Status Bounds(std::int32_t dim, std::int32_t* lower, std::int32_t* upper) const;
    // The element at (first, second) as a double; 1303 when it is not a number.
    Status Read(std::int32_t first, std::int32_t second, double* value) const;

private:
    Status ReadObjectElement(std::int32_t first, std::int32_t second, VARIANT* out) const;

    SAFEARRAY* array_ = nullptr;   // locked while bound
    IDispatch* object_ = nullptr;  // a JScript array, borrowed
    std::int32_t dims_ = 0;
    std::int32_t extent_[2] = {0, 0};  // JScript array: length, and row length
};

// AsArray, AsArrayR, AsArrayI put from a script array.
class ScriptArraySource final : public ArraySource {
public:
    explicit ScriptArraySource(const ScriptArray& array) : array_(array) {}
    std::int32_t Dimensions() const override { return array_.Dimensions(); }
    Status Bounds(std::int32_t dim, std::int32_t* lower, std::int32_t* upper) const override {
        return array_.Bounds(dim, lower, upper);
    }
    bool HoldsDoubles() const override { return true; }  // each element is checked as it is read
    Status Read(std::int32_t first, std::int32_t second, double* value) const override {
        return array_.Read(first, second, value);
    }

private:
    const ScriptArray& array_;
};

// A permutation index given as a script array: it passes the type check as an
// array of 32-bit integers, and a non-whole entry fails as a wrong type.
class ScriptPermIndex final : public PermIndexArgument {
public:
    explicit ScriptPermIndex(const ScriptArray& array) : array_(array) {}
    std::uint16_t VarType() const override { return kVarTypeArray | kVarTypeI4; }
    bool ArrayIsNull() const override { return false; }
    std::int32_t Dimensions() const override { return array_.Dimensions(); }
    Status Bounds(std::int32_t* lower, std::int32_t* upper) const override { return array_.Bounds(1, lower, upper); }
    Status ReadEntries(std::int32_t* entries, std::int32_t count) const override;

private:
    const ScriptArray& array_;
};

}  // namespace corvane::server
