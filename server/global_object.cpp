#include "server/global_object.h"

#include "core/global_functions.h"
#include "server/error_record.h"
#include "server/matrix_object.h"

namespace corvane::server {
namespace {

// The record of the interface and the core's value have the same layout.
static_assert(sizeof(::Complex) == sizeof(corvane::Complex));
corvane::Complex* AsCore(::Complex* c) { return reinterpret_cast<corvane::Complex*>(c); }

// The complex functions never fail but for a null pointer (E_POINTER).
HRESULT Finish(Status s) { return s.ok() ? S_OK : Unreported(static_cast<HRESULT>(s.code())); }

// A factory: a new object, then its own Size(Rows, Cols). Size's result is
// not passed on: an invalid size (or too little memory for the elements)
// leaves the object unsized, with Size's error record on the thread.
template <class T, class Interface>
HRESULT Factory(LONG rows, LONG cols, Interface** out) {
    const HRESULT hr = BasicMatrixObject<T>::Create(BasicMatrix<T>(), out);
    if (FAILED(hr)) return Unreported(hr);
    (void)(*out)->Size(rows, cols);
    return hr;
}

}  // namespace

HRESULT GlobalObject::CAdd(::Complex* a, ::Complex* b, ::Complex* pVal) {
    return Finish(corvane::CAdd(AsCore(a), AsCore(b), AsCore(pVal)));
}
HRESULT GlobalObject::CSub(::Complex* a, ::Complex* b, ::Complex* pVal) {
    return Finish(corvane::CSub(AsCore(a), AsCore(b), AsCore(pVal)));
}
HRESULT GlobalObject::CMul(::Complex* a, ::Complex* b, ::Complex* pVal) {
    return Finish(corvane::CMul(AsCore(a), AsCore(b), AsCore(pVal)));
}
HRESULT GlobalObject::CDiv(::Complex* a, ::Complex* b, ::Complex* pVal) {
    return Finish(corvane::CDiv(AsCore(a), AsCore(b), AsCore(pVal)));
}
HRESULT GlobalObject::CAbs(::Complex* cNumber, double* pVal) { return Finish(corvane::CAbs(AsCore(cNumber), pVal)); }
HRESULT GlobalObject::CSqr(::Complex* cNumber, ::Complex* pVal) {
    return Finish(corvane::CSqr(AsCore(cNumber), AsCore(pVal)));
}
HRESULT GlobalObject::CreateMatrix(LONG Rows, LONG Cols, IMatrix** pVal) { return Factory<double>(Rows, Cols, pVal); }
HRESULT GlobalObject::CreateCMatrix(LONG Rows, LONG Cols, ICMatrix** pVal) {
    return Factory<corvane::Complex>(Rows, Cols, pVal);
}

}  // namespace corvane::server
