#include "server/member_call.h"

#include <cmath>

#include "server/script_array.h"

namespace corvane::server {
namespace {

bool IsMissing(const VARIANT& v) { return V_VT(&v) == VT_ERROR && V_ERROR(&v) == DISP_E_PARAMNOTFOUND; }

// Objects and records are never converted to numbers or text: no calls of a
// foreign object's default property, no reading of a record's fields.
bool Convertible(const VARIANT& v) {
    const VARTYPE type = V_VT(&v) & ~VT_BYREF;
    return type != VT_DISPATCH && type != VT_UNKNOWN && type != VT_RECORD;
}

// A floating-point NaN, which the platform's conversion may turn into the
// largest integer (a size of 2147483647) instead of refusing it.
bool NotANumber(const VARIANT& v) {
    const bool ref = (V_VT(&v) & VT_BYREF) != 0;
    switch (V_VT(&v) & ~VT_BYREF) {
    case VT_R8:
    case VT_DATE: return std::isnan(ref ? *V_R8REF(&v) : V_R8(&v));
    case VT_R4: return std::isnan(ref ? *V_R4REF(&v) : V_R4(&v));
    default: return false;
    }
}

bool IsNullReference(const VARIANT& v) { return (V_VT(&v) & VT_BYREF) && V_BYREF(&v) == nullptr; }

VARTYPE ScalarType(ParamKind kind) {
    switch (kind) {
    case ParamKind::Short: return VT_I2;
    case ParamKind::Double: return VT_R8;
    case ParamKind::String: return VT_BSTR;
    default: return VT_I4;
    }
}

}  // namespace

MemberCall::~MemberCall() {
    for (Slot& slot : slots_) {
        if (slot.object != nullptr) slot.object->Release();
        VariantClear(&slot.owned);
    }
    SysFreeString(result_.text);
    if (result_.array != nullptr) SafeArrayDestroy(result_.array);
    if (result_.object != nullptr) result_.object->Release();
}

HRESULT MemberCall::Bind(const DISPPARAMS& params, UINT* argError) {
    if ((params.cArgs > 0 && params.rgvarg == nullptr) || params.cNamedArgs > params.cArgs ||
        (params.cNamedArgs > 0 && params.rgdispidNamedArgs == nullptr))
        return E_INVALIDARG;
    // Every argument fills a parameter of its own.
    const int n = member_.ParamCount();
    if (params.cArgs > static_cast<UINT>(n)) return DISP_E_BADPARAMCOUNT;
    int source[kMaxParams];  // the index in rgvarg of each parameter's argument; -1 when omitted
    for (int p = 0; p < n; ++p) source[p] = -1;
    // Positional arguments fill the first parameters, in reverse order in rgvarg.
    const UINT positional = params.cArgs - params.cNamedArgs;
    for (UINT i = 0; i < positional; ++i) source[i] = static_cast<int>(params.cArgs - 1 - i);
    // A named argument's id is its parameter's position; a put's value is the last.
    for (UINT i = 0; i < params.cNamedArgs; ++i) {
        const DISPID id = params.rgdispidNamedArgs[i];
        const int p = id == DISPID_PROPERTYPUT && member_.IsPut() ? n - 1 : static_cast<int>(id);
        if (p < 0 || p >= n || source[p] != -1) {
            *argError = i;
            return DISP_E_PARAMNOTFOUND;
        }
        source[p] = static_cast<int>(i);
    }
    for (int p = 0; p < n; ++p)
        if (source[p] < 0 && !member_.Param(p).optional)
            return params.cNamedArgs == 0 ? DISP_E_BADPARAMCOUNT : DISP_E_PARAMNOTOPTIONAL;
    for (int p = 0; p < n; ++p) {
        const VARIANT* arg = source[p] >= 0 ? &params.rgvarg[source[p]] : nullptr;
        if (const HRESULT hr = BindOne(member_.Param(p), arg, slots_[p]); FAILED(hr)) {
            if (arg != nullptr) *argError = static_cast<UINT>(source[p]);
            return hr;
        }
    }
    return S_OK;
}

HRESULT MemberCall::BindOne(const ParamDescription& param, const VARIANT* arg, Slot& slot) {
    const auto pointTo = [&slot](void* target) {
        slot.type = VT_BYREF | VT_UI1;
        V_VT(&slot.value) = VT_BYREF | VT_UI1;
        V_BYREF(&slot.value) = target;
        return S_OK;
    };
    // One level of variant reference is followed; null references are refused.
    const VARIANT* value = arg;
    if (arg != nullptr) {
        if (IsNullReference(*arg)) return E_POINTER;
        if (V_VT(arg) == (VT_BYREF | VT_VARIANT)) {
            value = V_VARIANTREF(arg);
            if (V_VT(value) == (VT_BYREF | VT_VARIANT)) return DISP_E_TYPEMISMATCH;
            if (IsNullReference(*value)) return E_POINTER;
        }
        if (IsMissing(*value)) arg = value = nullptr;  // the missing-argument marker: omitted
    }
    if (value == nullptr && !param.optional) return DISP_E_PARAMNOTOPTIONAL;

    switch (param.kind) {
    case ParamKind::Long:
    case ParamKind::Short:
    case ParamKind::Double:
    case ParamKind::String: {
        const VARIANT* from = value != nullptr ? value : &param.fallback;
        if (!Convertible(*from)) return DISP_E_TYPEMISMATCH;
        if ((param.kind == ParamKind::Long || param.kind == ParamKind::Short) && NotANumber(*from))
            return DISP_E_OVERFLOW;
        const HRESULT hr = VariantChangeType(&slot.owned, const_cast<VARIANT*>(from), 0, ScalarType(param.kind));
        if (FAILED(hr)) return hr;
        slot.value = slot.owned;               // a string stays owned by `owned`
        if (param.kind == ParamKind::Short) {  // widened, so that every slot convention reads it right
            V_VT(&slot.value) = VT_I4;
            V_I4(&slot.value) = V_I2(&slot.owned);
        }
        slot.type = V_VT(&slot.value);
        return S_OK;
    }
    case ParamKind::Object: {
        IUnknown* given = nullptr;
        if (value != nullptr) {
            switch (V_VT(value)) {
            case VT_DISPATCH:
            case VT_UNKNOWN: given = V_UNKNOWN(value); break;
            case VT_BYREF | VT_DISPATCH:
            case VT_BYREF | VT_UNKNOWN: given = *V_UNKNOWNREF(value); break;
            case VT_EMPTY:
            case VT_NULL: break;
            default: return DISP_E_TYPEMISMATCH;
            }
        }
        // Always the parameter's own interface, asked of the object: never the
        // caller's pointer taken for it.
        if (given != nullptr && FAILED(given->QueryInterface(param.type, reinterpret_cast<void**>(&slot.object)))) {
            slot.object = nullptr;
            return DISP_E_TYPEMISMATCH;
        }
        return pointTo(&slot.object);
    }
    case ParamKind::Record: {
        if (value == nullptr || (V_VT(value) != VT_RECORD && V_VT(value) != (VT_BYREF | VT_RECORD)))
            return DISP_E_TYPEMISMATCH;
        IRecordInfo* info = V_RECORDINFO(value);
        GUID type{};
        ULONG size = 0;
        if (info == nullptr || V_RECORD(value) == nullptr || FAILED(info->GetGuid(&type)) ||
            !IsEqualGUID(type, param.type) || FAILED(info->GetSize(&size)) || size != param.size)
            return DISP_E_TYPEMISMATCH;
        return pointTo(V_RECORD(value));
    }
    case ParamKind::Array:
        // A script array reaches the member as a copy of the declared element
        // type; anything else but an array reaches it as no array, which it
        // reports, and so does a script array it cannot take.
        if (const HRESULT hr = CopyScriptArray(value, param.element, &slot.owned); FAILED(hr)) return hr;
        if (V_VT(&slot.owned) != VT_EMPTY) {
            slot.array = V_ARRAY(&slot.owned);
        } else if (value != nullptr && (V_VT(value) & VT_ARRAY)) {
            if (V_VT(value) & VT_BYREF) return pointTo(V_ARRAYREF(value));
            slot.array = V_ARRAY(value);
        }
        return pointTo(&slot.array);
    case ParamKind::Variant:
        if (!param.out) {
            // The one variant input is a permutation index: a script array is
            // copied into an array of 32-bit integers, as for an array parameter.
            if (const HRESULT hr = CopyScriptArray(value, VT_I4, &slot.owned); FAILED(hr)) return hr;
            if (V_VT(&slot.owned) != VT_EMPTY) return pointTo(&slot.owned);
        }
        if (arg != nullptr && V_VT(arg) == (VT_BYREF | VT_VARIANT)) return pointTo(V_VARIANTREF(arg));
        if (param.out) return pointTo(&slot.owned);  // lands in a variant of ours, freed after the call
        if (value != nullptr) slot.view = *value;    // only read
        return pointTo(&slot.view);
    case ParamKind::LongOut:
    case ParamKind::DoubleOut: {
        const VARTYPE type = param.kind == ParamKind::LongOut ? VT_I4 : VT_R8;
        if (value != nullptr && V_VT(value) == (VT_BYREF | type)) return pointTo(V_BYREF(value));
        // A variable of ours, from the default, copied back into a variant the
        // caller passed by reference.
        if (FAILED(VariantChangeType(&slot.owned, const_cast<VARIANT*>(&param.fallback), 0, type))) {
            VariantClear(&slot.owned);
            V_VT(&slot.owned) = type;
        }
        if (arg != nullptr && V_VT(arg) == (VT_BYREF | VT_VARIANT)) slot.writeBack = V_VARIANTREF(arg);
        return pointTo(type == VT_I4 ? static_cast<void*>(&V_I4(&slot.owned)) : &V_R8(&slot.owned));
    }
    }
    return DISP_E_BADVARTYPE;
}

HRESULT MemberCall::Call(void* self) {
    VARTYPE types[kMaxParams + 1];
    VARIANTARG* values[kMaxParams + 1];
    UINT count = 0;
    for (int p = 0; p < member_.ParamCount(); ++p, ++count) {
        types[count] = slots_[p].type;
        values[count] = &slots_[p].value;
    }
    VARIANT resultPointer;
    if (member_.Result() != ResultKind::None) {
        void* target = nullptr;
        switch (member_.Result()) {
        case ResultKind::Long: target = &result_.number; break;
        case ResultKind::Double: target = &result_.real; break;
        case ResultKind::Bool: target = &result_.flag; break;
        case ResultKind::String: target = &result_.text; break;
        case ResultKind::Array: target = &result_.array; break;
        case ResultKind::Object: target = &result_.object; break;
        default: target = result_.record; break;
        }
        V_VT(&resultPointer) = VT_BYREF | VT_UI1;
        V_BYREF(&resultPointer) = target;
        types[count] = VT_BYREF | VT_UI1;
        values[count++] = &resultPointer;
    }
    VARIANT returned;
    VariantInit(&returned);
    const HRESULT hr = DispCallFunc(self, static_cast<ULONG_PTR>(member_.SlotOffset()), CC_STDCALL, VT_I4, count, types,
                                    values, &returned);
    if (FAILED(hr)) return hr;
    reached_ = true;
    return V_I4(&returned);
}

HRESULT MemberCall::Finish(VARIANT* result) {
    for (Slot& slot : slots_) {
        if (slot.writeBack == nullptr) continue;
        VariantClear(slot.writeBack);
        *slot.writeBack = slot.owned;
        V_VT(&slot.owned) = VT_EMPTY;
    }
    return TakeResult(result);
}

HRESULT MemberCall::TakeResult(VARIANT* result) {
    VARIANT out;
    VariantInit(&out);
    switch (member_.Result()) {
    case ResultKind::None: break;
    case ResultKind::Long:
        V_VT(&out) = VT_I4;
        V_I4(&out) = result_.number;
        break;
    case ResultKind::Double:
        V_VT(&out) = VT_R8;
        V_R8(&out) = result_.real;
        break;
    case ResultKind::Bool:
        V_VT(&out) = VT_BOOL;
        V_BOOL(&out) = result_.flag;
        break;
    case ResultKind::String:
        V_VT(&out) = VT_BSTR;
        V_BSTR(&out) = result_.text;
        result_.text = nullptr;
        break;
    case ResultKind::Array: {
        VARTYPE type = VT_R8;
        if (result_.array != nullptr) SafeArrayGetVartype(result_.array, &type);
        V_VT(&out) = VT_ARRAY | type;
        V_ARRAY(&out) = result_.array;
        result_.array = nullptr;
        break;
    }
    case ResultKind::Object: {
        IDispatch* object = nullptr;
        if (result_.object != nullptr) {
            const HRESULT hr = result_.object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&object));
            if (FAILED(hr)) return hr;
        }
        V_VT(&out) = VT_DISPATCH;
        V_DISPATCH(&out) = object;
        break;
    }
    case ResultKind::Record: {
        IRecordInfo* info = nullptr;
        HRESULT hr = GetRecordInfoFromTypeInfo(member_.ResultRecord(), &info);
        if (FAILED(hr)) return hr;
        void* copy = nullptr;
        hr = info->RecordCreateCopy(result_.record, &copy);
        if (FAILED(hr)) {
            info->Release();
            return hr;
        }
        V_VT(&out) = VT_RECORD;
        V_RECORDINFO(&out) = info;
        V_RECORD(&out) = copy;
        break;
    }
    }
    if (result != nullptr)
        *result = out;
    else
        VariantClear(&out);
    return S_OK;
}

}  // namespace corvane::server
