// The Global application object: complex-number functions and the Matrix and
// CMatrix factories. Holds nothing; answers no ISupportErrorInfo.
#pragma once

#include "CorvaneMatrix30.h"
#include "server/com_object.h"

namespace corvane::server {

class GlobalObject final : public ComObject<IGlobal, IProvideClassInfo> {
public:
    explicit GlobalObject(IUnknown* outer) : ComObject(outer) {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override;
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override;

    HRESULT STDMETHODCALLTYPE CAdd(::Complex* a, ::Complex* b, ::Complex* pVal) override;
    HRESULT STDMETHODCALLTYPE CSub(::Complex* a, ::Complex* b, ::Complex* pVal) override;
    HRESULT STDMETHODCALLTYPE CMul(::Complex* a, ::Complex* b, ::Complex* pVal) override;
    HRESULT STDMETHODCALLTYPE CDiv(::Complex* a, ::Complex* b, ::Complex* pVal) override;
    HRESULT STDMETHODCALLTYPE CAbs(::Complex* cNumber, double* pVal) override;
    HRESULT STDMETHODCALLTYPE CSqr(::Complex* cNumber, ::Complex* pVal) override;
    HRESULT STDMETHODCALLTYPE CreateMatrix(LONG Rows, LONG Cols, IMatrix** pVal) override;
    HRESULT STDMETHODCALLTYPE CreateCMatrix(LONG Rows, LONG Cols, ICMatrix** pVal) override;

private:
    void* Find(REFIID iid) override;
};

HRESULT MakeGlobalObject(IUnknown* outer, REFIID iid, void** out);

}  // namespace corvane::server
