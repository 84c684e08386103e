#include "server/script_array.h"

#include <cmath>

#include "server/safe_array.h"

namespace corvane::server {
namespace {

// The variant a possibly by-reference variant stands for; null for a null
// reference.
const VARIANT* Deref(const VARIANT* v) {
    if (v != nullptr && V_VT(v) == (VT_BYREF | VT_VARIANT)) return V_VARIANTREF(v);
    return v;
}

// A number of any automation numeric type, also held by reference.
Status ToNumber(const VARIANT* v, double* out) {
    v = Deref(v);
    if (v == nullptr) return kNotAnArray;
    switch (V_VT(v) & ~VT_BYREF) {
        case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_I8: case VT_UI8:
        case VT_INT: case VT_UINT: case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL:
            break;
        default:
            return kNotAnArray;
    }
    if ((V_VT(v) & VT_BYREF) && V_BYREF(v) == nullptr) return kNotAnArray;
    VARIANT number;
    VariantInit(&number);
    const HRESULT hr = VariantChangeType(&number, const_cast<VARIANT*>(v), 0, VT_R8);
    if (FAILED(hr)) return hr == E_OUTOFMEMORY ? Status::OutOfMemory() : Status(kNotAnArray);
    *out = V_R8(&number);
    return Status::Ok();
}

// A property of a script object (its "length", or an element by its index).
HRESULT GetProperty(IDispatch* object, const wchar_t* name, VARIANT* out) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VariantInit(out);
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, out, nullptr, nullptr);
}

HRESULT GetElement(IDispatch* object, std::int32_t index, VARIANT* out) {
    wchar_t name[12];
    wchar_t* p = name + 11;
    *p = L'\0';
    do *--p = static_cast<wchar_t>(L'0' + index % 10); while ((index /= 10) > 0);  // index >= 0
    return GetProperty(object, p, out);
}

// The length of a script array object, or -1 when it is none.
std::int32_t LengthOf(IDispatch* object) {
    VARIANT length;
    double n = -1.0;
    if (object == nullptr || FAILED(GetProperty(object, L"length", &length))) return -1;
    const bool number = ToNumber(&length, &n).ok();
    VariantClear(&length);
    return number && n >= 0.0 && n <= 2147483647.0 && n == std::floor(n) ? static_cast<std::int32_t>(n) : -1;
}

IDispatch* ObjectOf(const VARIANT* v) {
    if (v == nullptr) return nullptr;
    if (V_VT(v) == VT_DISPATCH) return V_DISPATCH(v);
    if (V_VT(v) == (VT_BYREF | VT_DISPATCH)) return V_DISPATCHREF(v) != nullptr ? *V_DISPATCHREF(v) : nullptr;
    return nullptr;
}

}  // namespace

ScriptArray::ScriptArray(const VARIANT* v) {
    v = Deref(v);
    if (v == nullptr) return;
    if ((V_VT(v) & ~VT_BYREF) == (VT_ARRAY | VT_VARIANT)) {
        SAFEARRAY* array = (V_VT(v) & VT_BYREF) ? (V_ARRAYREF(v) != nullptr ? *V_ARRAYREF(v) : nullptr) : V_ARRAY(v);
        VARTYPE type = VT_EMPTY;
        // An array whose descriptor claims variants but whose cells are not
        // variant-sized is not read.
        if (array == nullptr || FAILED(SafeArrayGetVartype(array, &type)) || type != VT_VARIANT ||
            SafeArrayGetElemsize(array) != sizeof(VARIANT) || FAILED(SafeArrayLock(array)))
            return;
        array_ = array;
        dims_ = static_cast<std::int32_t>(SafeArrayGetDim(array));
        return;
    }
    IDispatch* object = ObjectOf(v);
    const std::int32_t length = LengthOf(object);
    if (length < 0) return;
    object_ = object;
    dims_ = 1;
    extent_[0] = length;
    VARIANT first;
    if (length > 0 && SUCCEEDED(GetElement(object, 0, &first))) {
        const std::int32_t cols = LengthOf(ObjectOf(Deref(&first)));
        if (cols >= 0) {
            dims_ = 2;
            extent_[1] = cols;
        }
        VariantClear(&first);
    }
}

ScriptArray::~ScriptArray() {
    if (array_ != nullptr) SafeArrayUnlock(array_);
}

Status ScriptArray::Bounds(std::int32_t dim, std::int32_t* lower, std::int32_t* upper) const {
    if (object_ != nullptr) {
        *lower = 0;
        *upper = extent_[dim - 1] - 1;
        return Status::Ok();
    }
    LONG l = 0, u = 0;
    HRESULT hr = SafeArrayGetLBound(array_, static_cast<UINT>(dim), &l);
    if (SUCCEEDED(hr)) hr = SafeArrayGetUBound(array_, static_cast<UINT>(dim), &u);
    if (FAILED(hr)) return PlatformStatus(hr);
    *lower = l;
    *upper = u;
    return Status::Ok();
}

Status ScriptArray::ReadObjectElement(std::int32_t first, std::int32_t second, VARIANT* out) const {
    if (dims_ == 1) return FAILED(GetElement(object_, first, out)) ? Status(kNotAnArray) : Status::Ok();
    VARIANT row;
    if (FAILED(GetElement(object_, first, &row))) return kNotAnArray;
    IDispatch* rowObject = ObjectOf(Deref(&row));
    // Every row must be an array as long as the first: a ragged array is refused.
    Status s = LengthOf(rowObject) == extent_[1] && SUCCEEDED(GetElement(rowObject, second, out))
                   ? Status::Ok()
                   : Status(kNotAnArray);
    VariantClear(&row);
    return s;
}

Status ScriptArray::Read(std::int32_t first, std::int32_t second, double* value) const {
    if (array_ != nullptr) {
        LONG index[2] = {first, second};
        void* cell = nullptr;
        const HRESULT hr = SafeArrayPtrOfIndex(array_, index, &cell);
        if (FAILED(hr)) return PlatformStatus(hr);
        return ToNumber(static_cast<const VARIANT*>(cell), value);
    }
    VARIANT element;
    VariantInit(&element);
    Status s = ReadObjectElement(first, second, &element);
    if (s) s = ToNumber(&element, value);
    VariantClear(&element);
    return s;
}

Status ScriptPermIndex::ReadEntries(std::int32_t* entries, std::int32_t count) const {
    for (std::int32_t i = 0; i < count; ++i) {
        double v = 0.0;
        if (Status s = array_.Read(i, 0, &v); !s) return s;
        if (!(v >= -2147483648.0 && v <= 2147483647.0) || v != std::floor(v)) return kNotAnArray;
        entries[i] = static_cast<std::int32_t>(v);
    }
    return Status::Ok();
}

}  // namespace corvane::server
