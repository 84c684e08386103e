// The Global application object: complex-number functions and the Matrix and
// CMatrix factories. Holds nothing; answers no ISupportErrorInfo.
#pragma once

#include "CorvaneMatrix30.h"
#include "server/com_object.h"

namespace corvane::server {

class GlobalObject final : public DispatchObject<IGlobal, IID_IGlobal, CLSID_Global> {
public:
    explicit GlobalObject(IUnknown* outer) : DispatchObject(outer) {}

    HRESULT STDMETHODCALLTYPE CAdd(::Complex* a, ::Complex* b, ::Complex* pVal) override;
    HRESULT STDMETHODCALLTYPE CSub(::Complex* a, ::Complex* b, ::Complex* pVal) override;
    HRESULT STDMETHODCALLTYPE CMul(::Complex* a, ::Complex* b, ::Complex* pVal) override;
    HRESULT STDMETHODCALLTYPE CDiv(::Complex* a, ::Complex* b, ::Complex* pVal) override;
    HRESULT STDMETHODCALLTYPE CAbs(::Complex* cNumber, double* pVal) override;
    HRESULT STDMETHODCALLTYPE CSqr(::Complex* cNumber, ::Complex* pVal) override;
    HRESULT STDMETHODCALLTYPE CreateMatrix(LONG Rows, LONG Cols, IMatrix** pVal) override;
    HRESULT STDMETHODCALLTYPE CreateCMatrix(LONG Rows, LONG Cols, ICMatrix** pVal) override;
};

}  // namespace corvane::server
