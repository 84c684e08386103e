#include "server/dispatch.h"

#include <cstring>

#include "CorvaneMatrix30.h"
#include "server/error_record.h"
#include "server/member_call.h"
#include "server/member_table.h"
#include "server/module_state.h"

namespace corvane::server {
namespace {

// One cache row per interface and class of the library.
struct CachedTypeInfo {
    const GUID* guid;
    ITypeInfo* info;
};
CachedTypeInfo g_cache[] = {{&IID_IMatrix, nullptr},  {&IID_ICMatrix, nullptr},  {&IID_IGlobal, nullptr},
                            {&CLSID_Matrix, nullptr}, {&CLSID_CMatrix, nullptr}, {&CLSID_Global, nullptr}};

// The locale the type library declares.
constexpr LCID kLibraryLocale = 1033;

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
            if (FAILED(hr) && lcid != kLibraryLocale)
                hr = LoadRegTypeLib(LIBID_CorvaneMatrix30, 1, 0, kLibraryLocale, &library);
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

// A member's failure as a late-bound caller gets it: the thread's error record
// moves into EXCEPINFO.
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

// *own tells whether a failure is the member's own, returned bare with the
// member's error record left on the thread.
HRESULT InvokeMember(REFIID iid, void* self, DISPID member, WORD flags, const DISPPARAMS& params, VARIANT* result,
                     EXCEPINFO* exception, UINT* argError, LCID lcid, bool* own) {
    const MemberDescription* description = nullptr;
    HRESULT hr = FindMember(iid, lcid, member, flags, &description);
    if (FAILED(hr)) return hr;
    MemberCall call(*description);
    hr = call.Bind(params, argError);
    if (FAILED(hr)) return hr;
    hr = call.Call(self);
    if (SUCCEEDED(hr)) return call.Finish(result);
    if (!call.Reached()) return hr;
    if (exception == nullptr) {
        *own = true;
        return hr;
    }
    FillException(hr, exception);
    return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT DispatchInvoke(REFIID iid, IDispatch* self, DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* exception, UINT* argError, LCID lcid) {
    UINT unusedArgError = 0;
    if (argError == nullptr) argError = &unusedArgError;
    const DISPPARAMS none{nullptr, nullptr, 0, 0};
    bool own = false;
    const HRESULT hr = InvokeMember(iid, self, member, flags, params != nullptr ? *params : none, result, exception,
                                    argError, lcid, &own);
    if (FAILED(hr)) {
        if (result != nullptr) VariantInit(result);
        if (!own) ClearErrorRecord();
    }
    return hr;
}

}  // namespace corvane::server
