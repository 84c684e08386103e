#include "server/script_array.h"

#include <cmath>
#include <cstdint>

namespace corvane::server {
namespace {

// The variant a possibly by-reference variant stands for; null for a null
// reference.
const VARIANT* Deref(const VARIANT* v) {
    if (v != nullptr && V_VT(v) == (VT_BYREF | VT_VARIANT)) return V_VARIANTREF(v);
    return v;
}

// A number of any automation numeric type, also held by reference: S_OK,
// S_FALSE for anything else.
HRESULT ToNumber(const VARIANT* v, double* out) {
    v = Deref(v);
    if (v == nullptr) return S_FALSE;
    switch (V_VT(v) & ~VT_BYREF) {
    // clang-format off
    case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_I8: case VT_UI8:
    case VT_INT: case VT_UINT: case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL: break;
    // clang-format on
    default: return S_FALSE;
    }
    if ((V_VT(v) & VT_BYREF) && V_BYREF(v) == nullptr) return S_FALSE;
    VARIANT number;
    VariantInit(&number);
    const HRESULT hr = VariantChangeType(&number, const_cast<VARIANT*>(v), 0, VT_R8);
    if (FAILED(hr)) return hr == E_OUTOFMEMORY ? hr : S_FALSE;
    *out = V_R8(&number);
    return S_OK;
}

// One element stored at `index` of the copy, as its element type.
HRESULT Store(SAFEARRAY* copy, VARTYPE element, LONG* index, const VARIANT* v) {
    double number = 0.0;
    const HRESULT hr = ToNumber(v, &number);
    if (hr != S_OK) return hr;
    if (element == VT_R8) return SafeArrayPutElement(copy, index, &number);
    // An index entry must be a whole number a 32-bit integer can hold.
    if (!(number >= -2147483648.0 && number <= 2147483647.0) || number != std::floor(number)) return S_FALSE;
    LONG entry = static_cast<LONG>(number);
    return SafeArrayPutElement(copy, index, &entry);
}

// A property of a script object (its "length", or an element by its index).
HRESULT GetProperty(IDispatch* object, const wchar_t* name, VARIANT* out) {
    VariantInit(out);
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, out, nullptr, nullptr);
}

HRESULT GetElement(IDispatch* object, LONG index, VARIANT* out) {
    wchar_t name[12];
    wchar_t* p = name + 11;
    *p = L'\0';
    // clang-format off
    do *--p = static_cast<wchar_t>(L'0' + index % 10); while ((index /= 10) > 0);  // index >= 0
    // clang-format on
    return GetProperty(object, p, out);
}

IDispatch* ObjectOf(const VARIANT* v) {
    v = Deref(v);
    if (v == nullptr) return nullptr;
    if (V_VT(v) == VT_DISPATCH) return V_DISPATCH(v);
    if (V_VT(v) == (VT_BYREF | VT_DISPATCH)) return V_DISPATCHREF(v) != nullptr ? *V_DISPATCHREF(v) : nullptr;
    return nullptr;
}

// The length of a script array object, or -1 when it is none.
LONG LengthOf(IDispatch* object) {
    VARIANT length;
    double n = -1.0;
    if (object == nullptr || FAILED(GetProperty(object, L"length", &length))) return -1;
    const bool number = ToNumber(&length, &n) == S_OK;
    VariantClear(&length);
    return number && n >= 0.0 && n <= 2147483647.0 && n == std::floor(n) ? static_cast<LONG>(n) : -1;
}

// A new array of `element` with these bounds; null when the platform's
// array functions cannot count its bytes (32-bit counts) or memory runs out.
SAFEARRAY* NewCopy(VARTYPE element, UINT dims, SAFEARRAYBOUND* bounds) {
    std::uint64_t cells = 1;
    for (UINT d = 0; d < dims; ++d) cells *= bounds[d].cElements;  // each below 2^32: no overflow
    if (cells > 0x7FFFFFFFu / sizeof(double)) return nullptr;
    return SafeArrayCreate(element, dims, bounds);
}

// A SAFEARRAY of variants, locked while it is read.
HRESULT CopyVariants(SAFEARRAY* array, VARTYPE element, SAFEARRAY** copy) {
    VARTYPE type = VT_EMPTY;
    // A descriptor that claims variants over cells of another size is not read.
    if (FAILED(SafeArrayGetVartype(array, &type)) || type != VT_VARIANT ||
        SafeArrayGetElemsize(array) != sizeof(VARIANT))
        return S_FALSE;
    const UINT dims = SafeArrayGetDim(array);
    if (dims != 1 && dims != 2) return S_FALSE;
    SAFEARRAYBOUND bounds[2]{};
    for (UINT d = 0; d < dims; ++d) {
        LONG lower = 0, upper = 0;
        HRESULT hr = SafeArrayGetLBound(array, d + 1, &lower);
        if (SUCCEEDED(hr)) hr = SafeArrayGetUBound(array, d + 1, &upper);
        if (FAILED(hr)) return hr;
        bounds[d] = {static_cast<ULONG>(static_cast<std::int64_t>(upper) - lower + 1), lower};
    }
    *copy = NewCopy(element, dims, bounds);
    if (*copy == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = SafeArrayLock(array);
    if (FAILED(hr)) return hr;
    if (array->pvData == nullptr && bounds[0].cElements > 0 && (dims == 1 || bounds[1].cElements > 0))
        hr = S_FALSE;  // elements never allocated
    const ULONG rows = bounds[0].cElements, cols = dims == 2 ? bounds[1].cElements : 1;
    for (ULONG i = 0; i < rows && hr == S_OK; ++i) {
        for (ULONG j = 0; j < cols && hr == S_OK; ++j) {
            LONG index[2] = {bounds[0].lLbound + static_cast<LONG>(i), bounds[1].lLbound + static_cast<LONG>(j)};
            void* cell = nullptr;
            hr = SafeArrayPtrOfIndex(array, index, &cell);
            if (SUCCEEDED(hr)) hr = Store(*copy, element, index, static_cast<const VARIANT*>(cell));
        }
    }
    SafeArrayUnlock(array);
    return hr;
}

// A JScript array: rows "0" … length − 1, each a number, or each an array as
// long as the first (two dimensions).
HRESULT CopyObject(IDispatch* object, LONG length, VARTYPE element, SAFEARRAY** copy) {
    VARIANT row;
    LONG cols = -1;
    if (length > 0 && SUCCEEDED(GetElement(object, 0, &row))) {
        cols = LengthOf(ObjectOf(&row));
        VariantClear(&row);
    }
    const UINT dims = cols >= 0 ? 2 : 1;
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(length), 0}, {static_cast<ULONG>(cols < 0 ? 0 : cols), 0}};
    *copy = NewCopy(element, dims, bounds);
    if (*copy == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = S_OK;
    for (LONG i = 0; i < length && hr == S_OK; ++i) {
        LONG index[2] = {i, 0};
        if (FAILED(GetElement(object, i, &row))) {
            hr = S_FALSE;
        } else if (dims == 1) {
            hr = Store(*copy, element, index, &row);
        } else {
            IDispatch* cells = ObjectOf(&row);
            if (LengthOf(cells) != cols) hr = S_FALSE;  // a ragged array
            for (LONG j = 0; j < cols && hr == S_OK; ++j) {
                VARIANT cell;
                index[1] = j;
                hr = FAILED(GetElement(cells, j, &cell)) ? S_FALSE : Store(*copy, element, index, &cell);
                VariantClear(&cell);
            }
        }
        VariantClear(&row);
    }
    return hr;
}

}  // namespace

HRESULT CopyScriptArray(const VARIANT* v, VARTYPE element, VARIANT* out) {
    VariantInit(out);
    v = Deref(v);
    if (v == nullptr || (element != VT_R8 && element != VT_I4)) return S_FALSE;
    SAFEARRAY* copy = nullptr;
    HRESULT hr = S_FALSE;
    if ((V_VT(v) & ~VT_BYREF) == (VT_ARRAY | VT_VARIANT)) {
        SAFEARRAY* array = !(V_VT(v) & VT_BYREF) ? V_ARRAY(v) : V_ARRAYREF(v) != nullptr ? *V_ARRAYREF(v) : nullptr;
        if (array != nullptr) hr = CopyVariants(array, element, &copy);
    } else if (IDispatch* object = ObjectOf(v); object != nullptr) {
        if (const LONG length = LengthOf(object); length >= 0) hr = CopyObject(object, length, element, &copy);
    }
    if (hr != S_OK) {
        if (copy != nullptr) SafeArrayDestroy(copy);
        return hr;
    }
    V_VT(out) = VT_ARRAY | element;
    V_ARRAY(out) = copy;
    return S_OK;
}

}  // namespace corvane::server
