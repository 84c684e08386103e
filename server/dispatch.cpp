#include "server/dispatch.h"

#include "CorvaneMatrix30.h"
#include "server/module.h"
#include "server/record_call.h"

namespace corvane::server {
namespace {

// One cache row per interface and class of the library.
struct CachedTypeInfo {
    const GUID* guid;
    ITypeInfo* info;
};
CachedTypeInfo g_cache[] = {{&IID_IMatrix, nullptr},  {&IID_ICMatrix, nullptr}, {&IID_IGlobal, nullptr},
                            {&CLSID_Matrix, nullptr}, {&CLSID_CMatrix, nullptr}, {&CLSID_Global, nullptr}};

// The locale the type library declares.
constexpr LCID kLibraryLocale = 1033;

// Late-bound callers need at most this many arguments (LU: four).
constexpr UINT kMaxArgs = 8;

}  // namespace

HRESULT GetTypeInfoOf(REFGUID guid, LCID lcid, ITypeInfo** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    for (CachedTypeInfo& row : g_cache) {
        if (!IsEqualGUID(guid, *row.guid)) continue;
        ModuleLock lock;
        if (row.info == nullptr) {
            ITypeLib* library = nullptr;
            // The caller's locale first; the library is registered under its
            // own locale (1033), which callers with a neutral or other locale
            // would otherwise never find.
            HRESULT hr = LoadRegTypeLib(LIBID_CorvaneMatrix30, 1, 0, lcid, &library);
            if (FAILED(hr) && lcid != kLibraryLocale) hr = LoadRegTypeLib(LIBID_CorvaneMatrix30, 1, 0, kLibraryLocale, &library);
            if (FAILED(hr)) return hr;
            hr = library->GetTypeInfoOfGuid(guid, &row.info);
            library->Release();
            if (FAILED(hr)) return hr;
        }
        row.info->AddRef();
        *out = row.info;
        return S_OK;
    }
    return TYPE_E_ELEMENTNOTFOUND;
}

HRESULT DispatchGetTypeInfoCount(UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT DispatchGetTypeInfo(REFIID iid, LCID lcid, ITypeInfo** out) { return GetTypeInfoOf(iid, lcid, out); }

HRESULT DispatchGetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) {
    ITypeInfo* info = nullptr;
    HRESULT hr = GetTypeInfoOf(iid, lcid, &info);
    if (FAILED(hr)) return hr;
    hr = info->GetIDsOfNames(names, count, ids);
    info->Release();
    return hr;
}

namespace {

// The description of the member a late-bound call names, or null.
FUNCDESC* FindMember(ITypeInfo* info, DISPID member, WORD flags) {
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetTypeAttr(&attr))) return nullptr;
    const WORD count = attr->cFuncs;
    info->ReleaseTypeAttr(attr);
    FUNCDESC* found = nullptr;
    for (WORD i = 0; i < count; ++i) {
        FUNCDESC* desc = nullptr;
        if (FAILED(info->GetFuncDesc(i, &desc))) continue;
        const bool put = desc->invkind == INVOKE_PROPERTYPUT || desc->invkind == INVOKE_PROPERTYPUTREF;
        const bool wanted = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) ? put : !put;
        if (desc->memid == member && wanted && found == nullptr) {
            found = desc;
        } else {
            info->ReleaseFuncDesc(desc);
        }
    }
    return found;
}

// A parameter of type "pointer to an interface pointer": its interface id.
bool ObjectParameter(ITypeInfo* info, const TYPEDESC& type, IID* iid) {
    if (type.vt != VT_PTR || type.lptdesc->vt != VT_PTR || type.lptdesc->lptdesc->vt != VT_USERDEFINED) return false;
    ITypeInfo* target = nullptr;
    if (FAILED(info->GetRefTypeInfo(type.lptdesc->lptdesc->hreftype, &target))) return false;
    TYPEATTR* attr = nullptr;
    bool ok = false;
    if (SUCCEEDED(target->GetTypeAttr(&attr))) {
        ok = attr->typekind == TKIND_DISPATCH || attr->typekind == TKIND_INTERFACE;
        *iid = attr->guid;
        target->ReleaseTypeAttr(attr);
    }
    target->Release();
    return ok;
}

bool Missing(const VARIANT& v) { return V_VT(&v) == VT_ERROR && V_ERROR(&v) == DISP_E_PARAMNOTFOUND; }

// What a late-bound caller gives, in the forms the invocation service accepts:
// object arguments as a typed reference to an interface pointer of the
// parameter's interface (a missing optional one as a null reference), scalar
// outputs as typed references whose values are written back to the caller's
// variants afterwards, and variant references to inputs dereferenced.
class PreparedArguments {
public:
    ~PreparedArguments() {
        for (UINT i = 0; i < count_; ++i) {
            if (objects_[i] != nullptr) objects_[i]->Release();
            if (ownsVariant_[i]) VariantClear(&scalars_[i]);
        }
    }

    HRESULT Prepare(ITypeInfo* info, const FUNCDESC& desc, const DISPPARAMS& in, UINT* argError) {
        // Trailing optional parameters the caller left out are made explicit
        // missing arguments, so that each gets a form the service can pass.
        UINT declared = 0;
        while (declared < static_cast<UINT>(desc.cParams) &&
               !(desc.lprgelemdescParam[declared].paramdesc.wParamFlags & PARAMFLAG_FRETVAL))
            ++declared;
        UINT omitted = 0;
        if (in.cNamedArgs == 0 && in.cArgs < declared) {
            omitted = declared - in.cArgs;
            for (UINT p = in.cArgs; p < declared; ++p) {
                const USHORT f = desc.lprgelemdescParam[p].paramdesc.wParamFlags;
                if (!(f & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT))) omitted = 0;
            }
        }
        if (in.cArgs + omitted > kMaxArgs) return DISP_E_BADPARAMCOUNT;
        count_ = in.cArgs + omitted;
        for (UINT k = 0; k < count_; ++k) {  // nothing to release or write back yet
            objects_[k] = nullptr;
            writeBack_[k] = nullptr;
            ownsVariant_[k] = false;
        }
        params_ = in;
        params_.rgvarg = args_;
        params_.cArgs = count_;
        for (UINT k = 0; k < count_; ++k) {
            if (k < omitted) {  // the last parameters come first
                V_VT(&args_[k]) = VT_ERROR;
                V_ERROR(&args_[k]) = DISP_E_PARAMNOTFOUND;
            } else {
                args_[k] = in.rgvarg[k - omitted];  // shallow: the caller keeps ownership
            }
            // Which parameter argument k is.
            int index;
            if (k < in.cNamedArgs) {
                const DISPID named = in.rgdispidNamedArgs[k];
                index = named == DISPID_PROPERTYPUT ? desc.cParams - 1 : static_cast<int>(named);
            } else {
                index = static_cast<int>(count_ - 1 - k);
            }
            if (index < 0 || index >= desc.cParams) continue;
            const ELEMDESC& param = desc.lprgelemdescParam[index];
            VARIANT& arg = args_[k];
            const VARIANT* value = V_VT(&arg) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(&arg) : &arg;
            IID iid;
            if (ObjectParameter(info, param.tdesc, &iid)) {
                if (V_VT(value) == (VT_BYREF | VT_DISPATCH) && V_VT(&arg) == V_VT(value)) continue;
                IUnknown* given = nullptr;
                if (V_VT(value) == VT_DISPATCH || V_VT(value) == VT_UNKNOWN) given = V_UNKNOWN(value);
                else if (V_VT(value) == (VT_BYREF | VT_DISPATCH) || V_VT(value) == (VT_BYREF | VT_UNKNOWN))
                    given = *V_UNKNOWNREF(value);
                else if (!(Missing(*value) || V_VT(value) == VT_EMPTY || V_VT(value) == VT_NULL)) {
                    *argError = k;
                    return DISP_E_TYPEMISMATCH;
                }
                if (given != nullptr && FAILED(given->QueryInterface(iid, reinterpret_cast<void**>(&objects_[k])))) {
                    *argError = k;
                    return DISP_E_TYPEMISMATCH;
                }
                V_VT(&arg) = VT_BYREF | VT_DISPATCH;
                V_DISPATCHREF(&arg) = reinterpret_cast<IDispatch**>(&objects_[k]);
                continue;
            }
            const bool out = (param.paramdesc.wParamFlags & PARAMFLAG_FOUT) != 0;
            const VARTYPE target = param.tdesc.vt == VT_PTR ? param.tdesc.lptdesc->vt : static_cast<VARTYPE>(VT_EMPTY);
            if (out && (target == VT_I4 || target == VT_R8)) {
                if (V_VT(&arg) == (VT_BYREF | target)) continue;
                VariantInit(&scalars_[k]);
                V_VT(&scalars_[k]) = target;
                if (Missing(*value) && (param.paramdesc.wParamFlags & PARAMFLAG_FHASDEFAULT))
                    VariantChangeType(&scalars_[k], &param.paramdesc.pparamdescex->varDefaultValue, 0, target);
                else if (V_VT(&arg) == (VT_BYREF | VT_VARIANT))
                    writeBack_[k] = V_VARIANTREF(&arg);
                V_VT(&arg) = VT_BYREF | target;
                V_BYREF(&arg) = &V_I4(&scalars_[k]);
                continue;
            }
            if (target == VT_VARIANT) {  // a permutation index, in or out
                if (V_VT(&arg) == (VT_BYREF | VT_VARIANT)) continue;
                if (out) {
                    // An output not passed by reference lands in a variant of
                    // our own, freed after the call: the caller's value (still
                    // the caller's) is neither cleared nor replaced.
                    VariantInit(&scalars_[k]);
                    if (Missing(arg)) scalars_[k] = arg;  // the missing marker, as omitted
                    ownsVariant_[k] = true;
                } else {
                    scalars_[k] = arg;  // an input given directly, only read
                }
                V_VT(&arg) = VT_BYREF | VT_VARIANT;
                V_VARIANTREF(&arg) = &scalars_[k];
                continue;
            }
            if (V_VT(&arg) == (VT_BYREF | VT_VARIANT) && !(V_VT(value) & VT_BYREF)) arg = *value;
        }
        return S_OK;
    }

    // Scalar outputs back into the caller's variants.
    void WriteBack() {
        for (UINT k = 0; k < count_; ++k) {
            if (writeBack_[k] == nullptr) continue;
            VariantClear(writeBack_[k]);
            *writeBack_[k] = scalars_[k];
        }
    }

    DISPPARAMS* params() { return &params_; }

private:
    UINT count_ = 0;
    DISPPARAMS params_{};
    VARIANT args_[kMaxArgs];
    VARIANT scalars_[kMaxArgs];
    IUnknown* objects_[kMaxArgs];
    VARIANT* writeBack_[kMaxArgs];
    bool ownsVariant_[kMaxArgs];
};

}  // namespace

HRESULT DispatchInvoke(REFIID iid, IDispatch* self, DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* exception, UINT* argError, LCID lcid) {
    ITypeInfo* info = nullptr;
    HRESULT hr = GetTypeInfoOf(iid, lcid, &info);
    if (FAILED(hr)) return hr;
    UINT unusedArgError = 0;
    if (argError == nullptr) argError = &unusedArgError;
    // Members with a Complex record are called through their slot directly.
    ITypeInfo* slots = nullptr;
    HREFTYPE ref = 0;
    if (params != nullptr && SUCCEEDED(info->GetRefTypeOfImplType(-1, &ref)) &&
        SUCCEEDED(info->GetRefTypeInfo(ref, &slots))) {
        FUNCDESC* recordDesc = RecordMember(slots, member, flags);
        if (recordDesc != nullptr) {
            hr = InvokeWithRecords(slots, *recordDesc, self, *params, result, exception, argError);
            slots->ReleaseFuncDesc(recordDesc);
            slots->Release();
            info->Release();
            return hr;
        }
        slots->Release();
    }
    FUNCDESC* desc = params != nullptr ? FindMember(info, member, flags) : nullptr;
    if (desc == nullptr) {
        hr = info->Invoke(self, member, flags, params, result, exception, argError);
    } else {
        PreparedArguments prepared;
        hr = prepared.Prepare(info, *desc, *params, argError);
        if (SUCCEEDED(hr)) {
            hr = info->Invoke(self, member, flags, prepared.params(), result, exception, argError);
            if (SUCCEEDED(hr)) prepared.WriteBack();
        }
        info->ReleaseFuncDesc(desc);
    }
    info->Release();
    return hr;
}

}  // namespace corvane::server
