#include "server/record_call.h"

#include <cstring>

namespace corvane::server {
namespace {

constexpr int kMaxParams = 8;

// The referenced type's kind for a pointer to a user-defined type.
bool PointsTo(ITypeInfo* slots, const TYPEDESC& type, TYPEKIND kind, ITypeInfo** target = nullptr) {
    if (type.vt != VT_PTR || type.lptdesc->vt != VT_USERDEFINED) return false;
    ITypeInfo* info = nullptr;
    if (FAILED(slots->GetRefTypeInfo(type.lptdesc->hreftype, &info))) return false;
    TYPEATTR* attr = nullptr;
    bool match = false;
    if (SUCCEEDED(info->GetTypeAttr(&attr))) {
        match = attr->typekind == kind;
        info->ReleaseTypeAttr(attr);
    }
    if (match && target != nullptr) {
        *target = info;
        return true;
    }
    info->Release();
    return match;
}

const VARIANT* Deref(const VARIANT& v) { return V_VT(&v) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(&v) : &v; }

void FillException(HRESULT hr, EXCEPINFO* exception) {
    std::memset(exception, 0, sizeof *exception);
    exception->scode = hr;
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || info == nullptr) return;
    info->GetDescription(&exception->bstrDescription);
    info->GetSource(&exception->bstrSource);
    info->GetHelpFile(&exception->bstrHelpFile);
    info->GetHelpContext(&exception->dwHelpContext);
    info->Release();
}

}  // namespace

FUNCDESC* RecordMember(ITypeInfo* slots, DISPID member, WORD flags) {
    TYPEATTR* attr = nullptr;
    if (FAILED(slots->GetTypeAttr(&attr))) return nullptr;
    const WORD count = attr->cFuncs;
    slots->ReleaseTypeAttr(attr);
    for (WORD i = 0; i < count; ++i) {
        FUNCDESC* desc = nullptr;
        if (FAILED(slots->GetFuncDesc(i, &desc))) continue;
        const bool put = desc->invkind == INVOKE_PROPERTYPUT;
        const bool wanted = desc->memid == member && ((flags & DISPATCH_PROPERTYPUT) ? put : !put);
        bool record = false;
        for (SHORT p = 0; wanted && p < desc->cParams; ++p)
            record = record || PointsTo(slots, desc->lprgelemdescParam[p].tdesc, TKIND_RECORD);
        if (wanted && record && desc->cParams <= kMaxParams) return desc;
        slots->ReleaseFuncDesc(desc);
    }
    return nullptr;
}

HRESULT InvokeWithRecords(ITypeInfo* slots, const FUNCDESC& desc, void* self, const DISPPARAMS& params,
                          VARIANT* result, EXCEPINFO* exception, UINT* argError) {
    const int count = desc.cParams;
    const bool hasResult = count > 0 && (desc.lprgelemdescParam[count - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL);
    const int inputs = hasResult ? count - 1 : count;
    if (static_cast<int>(params.cArgs) != inputs) return DISP_E_BADPARAMCOUNT;

    VARIANTARG values[kMaxParams];
    VARIANTARG* pointers[kMaxParams];
    VARTYPE types[kMaxParams];
    double resultNumber = 0;
    alignas(8) unsigned char resultRecord[16] = {};
    IUnknown* resultObject = nullptr;
    ITypeInfo* resultRecordType = nullptr;
    for (int p = 0; p < count; ++p) {
        const TYPEDESC& type = desc.lprgelemdescParam[p].tdesc;
        VariantInit(&values[p]);
        pointers[p] = &values[p];
        if (p == inputs) {  // the result, written through a pointer
            void* target = nullptr;
            if (PointsTo(slots, type, TKIND_RECORD, &resultRecordType)) target = resultRecord;
            else if (type.vt == VT_PTR && type.lptdesc->vt == VT_R8) target = &resultNumber;
            else if (type.vt == VT_PTR && type.lptdesc->vt == VT_PTR) target = &resultObject;
            else return DISP_E_BADVARTYPE;
            types[p] = VT_BYREF | VT_UI1;
            V_VT(&values[p]) = VT_BYREF | VT_UI1;
            V_BYREF(&values[p]) = target;
            continue;
        }
        // Positional arguments come last first; a put's value is the named one.
        UINT k;
        if (desc.invkind == INVOKE_PROPERTYPUT && p == inputs - 1 && params.cNamedArgs == 1) k = 0;
        else k = params.cArgs - 1 - static_cast<UINT>(p);
        const VARIANT* arg = Deref(params.rgvarg[k]);
        if (PointsTo(slots, type, TKIND_RECORD)) {
            void* record = nullptr;
            if (V_VT(arg) == VT_RECORD || V_VT(arg) == (VT_BYREF | VT_RECORD)) record = V_RECORD(arg);
            if (record == nullptr) {
                *argError = k;
                return DISP_E_TYPEMISMATCH;
            }
            types[p] = VT_BYREF | VT_UI1;
            V_VT(&values[p]) = VT_BYREF | VT_UI1;
            V_BYREF(&values[p]) = record;
        } else if (type.vt == VT_I4 || type.vt == VT_INT) {
            if (FAILED(VariantChangeType(&values[p], const_cast<VARIANT*>(arg), 0, VT_I4))) {
                *argError = k;
                return DISP_E_TYPEMISMATCH;
            }
            types[p] = VT_I4;
        } else {
            return DISP_E_BADVARTYPE;
        }
    }

    VARIANT returned;
    VariantInit(&returned);
    HRESULT hr = DispCallFunc(self, desc.oVft, CC_STDCALL, VT_I4, static_cast<UINT>(count), types, pointers, &returned);
    if (SUCCEEDED(hr)) hr = V_I4(&returned);
    if (FAILED(hr)) {
        if (resultRecordType != nullptr) resultRecordType->Release();
        if (exception == nullptr) return hr;
        FillException(hr, exception);
        return DISP_E_EXCEPTION;
    }
    if (result != nullptr) VariantInit(result);
    if (resultRecordType != nullptr) {
        IRecordInfo* recordInfo = nullptr;
        hr = GetRecordInfoFromTypeInfo(resultRecordType, &recordInfo);
        resultRecordType->Release();
        if (FAILED(hr)) return hr;
        void* copy = nullptr;
        hr = recordInfo->RecordCreateCopy(resultRecord, &copy);
        if (FAILED(hr) || result == nullptr) {
            if (copy != nullptr) recordInfo->RecordDestroy(copy);
            recordInfo->Release();
            return hr;
        }
        V_VT(result) = VT_RECORD;
        V_RECORDINFO(result) = recordInfo;
        V_RECORD(result) = copy;
    } else if (hasResult && resultObject != nullptr) {
        IDispatch* object = nullptr;
        hr = resultObject->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&object));
        resultObject->Release();
        if (FAILED(hr)) return hr;
        if (result != nullptr) {
            V_VT(result) = VT_DISPATCH;
            V_DISPATCH(result) = object;
        } else {
            object->Release();
        }
    } else if (hasResult && result != nullptr && desc.lprgelemdescParam[inputs].tdesc.lptdesc->vt == VT_R8) {
        V_VT(result) = VT_R8;
        V_R8(result) = resultNumber;
    }
    return S_OK;
}

}  // namespace corvane::server
