// Arrays as script hosts pass them late-bound: a SAFEARRAY of VARIANTs
// (VBScript's Array and Dim arrays, Excel's 1-based Range.Value), by value or
// by reference, or a JScript array (an object with a length and elements
// named "0", "1", …; an array of equal-length arrays for two dimensions).
// The binder copies such an array into a new array of the element type the
// member declares, with the same dimensions and bounds, so that the member
// (and the core behind it) sees exactly what a typed array would give it and
// no foreign code runs while the member works.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace corvane::server {

// Copies the script array in v (one or two dimensions) into *out as
// VT_ARRAY | element, element VT_R8 (numbers of any automation numeric type,
// also by reference) or VT_I4 (whole numbers in the 32-bit range). S_FALSE,
// *out empty, when v holds no script array, one of other dimensions, or one
// with an element of another kind (text, an object, Null, Empty, an error, a
// non-whole index, a ragged row): the member is then handed the caller's
// argument and refuses it itself. E_OUTOFMEMORY when the copy cannot be made.
HRESULT CopyScriptArray(const VARIANT* v, VARTYPE element, VARIANT* out);

}  // namespace corvane::server
