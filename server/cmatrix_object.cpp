#include "server/cmatrix_object.h"

#include "server/dispatch.h"
#include "server/error_record.h"
#include "server/safe_array.h"
#include "server/version.h"

namespace corvane::server {

HRESULT MakeCMatrixObject(IUnknown* outer, REFIID iid, void** out) { return MakeObject<CMatrixObject>(outer, iid, out); }

HRESULT CMatrixObject::Create(ComplexMatrix&& data, ICMatrix** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    CMatrixObject* object = new (std::nothrow) CMatrixObject(nullptr);
    if (object == nullptr) return E_OUTOFMEMORY;
    object->matrix_ = std::move(data);
    object->AddRef();
    *out = object;
    return S_OK;
}

HRESULT CMatrixObject::Result(Status status) { return ToResult(CLSID_CMatrix, status); }

void* CMatrixObject::Find(REFIID iid) {
    if (IsEqualIID(iid, IID_ICMatrix) || IsEqualIID(iid, IID_IDispatch)) return static_cast<ICMatrix*>(this);
    if (IsEqualIID(iid, IID_IProvideClassInfo)) return static_cast<IProvideClassInfo*>(this);
    if (IsEqualIID(iid, IID_ISupportErrorInfo)) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}

HRESULT CMatrixObject::GetTypeInfoCount(UINT* count) { return DispatchGetTypeInfoCount(count); }
HRESULT CMatrixObject::GetTypeInfo(UINT, LCID lcid, ITypeInfo** out) { return DispatchGetTypeInfo(IID_ICMatrix, lcid, out); }
HRESULT CMatrixObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) {
    return DispatchGetIDsOfNames(IID_ICMatrix, names, count, lcid, ids);
}
HRESULT CMatrixObject::Invoke(DISPID member, REFIID, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                     EXCEPINFO* exception, UINT* argError) {
    return DispatchInvoke(IID_ICMatrix, static_cast<ICMatrix*>(this), member, flags, params, result, exception, argError,
                          lcid);
}
HRESULT CMatrixObject::GetClassInfo(ITypeInfo** out) { return GetTypeInfoOf(CLSID_CMatrix, LOCALE_USER_DEFAULT, out); }
HRESULT CMatrixObject::InterfaceSupportsErrorInfo(REFIID iid) { return IsEqualIID(iid, IID_ICMatrix) ? S_OK : S_FALSE; }

// Members not yet served return E_NOTIMPL.

HRESULT CMatrixObject::get_Item(LONG Row, LONG Col, ::Complex *pVal) {
    if (pVal == nullptr) return E_POINTER;
    corvane::Complex value;
    if (Status s = matrix_.Item(Row, Col, &value); !s) return Result(s);
    pVal->Real = value.Real;
    pVal->Imag = value.Imag;
    return S_OK;
}

HRESULT CMatrixObject::put_Item(LONG Row, LONG Col, ::Complex *newVal) {
    if (newVal == nullptr) return E_POINTER;
    return Result(matrix_.PutItem(Row, Col, corvane::Complex{newVal->Real, newVal->Imag}));
}

HRESULT CMatrixObject::get_Rows(LONG *pVal) {
    if (pVal == nullptr) return E_POINTER;
    *pVal = matrix_.Rows();
    return S_OK;
}

HRESULT CMatrixObject::put_Rows(LONG newVal) {
    return Result(matrix_.PutRows(newVal));
}

HRESULT CMatrixObject::get_Cols(LONG *pVal) {
    if (pVal == nullptr) return E_POINTER;
    *pVal = matrix_.Cols();
    return S_OK;
}

HRESULT CMatrixObject::put_Cols(LONG newVal) {
    return Result(matrix_.PutCols(newVal));
}

HRESULT CMatrixObject::Size(LONG Rows, LONG Cols) {
    return Result(matrix_.Size(Rows, Cols));
}

HRESULT CMatrixObject::get_MaxSize(LONG *pVal) {
    if (pVal == nullptr) return E_POINTER;
    *pVal = kMaxSize;
    return S_OK;
}

HRESULT CMatrixObject::Clone(ICMatrix **pVal) {
    if (pVal == nullptr) return E_POINTER;
    ComplexMatrix copy;
    if (Status s = matrix_.Clone(&copy); !s) return Result(s);
    return Create(std::move(copy), pVal);
}

HRESULT CMatrixObject::get_IsSquare(VARIANT_BOOL *pVal) {
    if (pVal == nullptr) return E_POINTER;
    bool square = false;
    if (Status s = matrix_.IsSquare(&square); !s) return Result(s);
    *pVal = square ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CMatrixObject::Determinant(::Complex *) { return E_NOTIMPL; }

HRESULT CMatrixObject::SwapRows(LONG Row1, LONG Row2) {
    return Result(matrix_.SwapRows(Row1, Row2));
}

HRESULT CMatrixObject::SwapCols(LONG Col1, LONG Col2) {
    return Result(matrix_.SwapCols(Col1, Col2));
}

HRESULT CMatrixObject::get_AsArrayR(SAFEARRAY **pVal) {
    return Result(ArrayFromMatrix(matrix_, [](const corvane::Complex& c) { return c.Real; }, pVal));
}

HRESULT CMatrixObject::put_AsArrayR(SAFEARRAY **newVal) {
    return Result(MatrixFromArray(newVal != nullptr ? *newVal : nullptr, matrix_,
                                  [](corvane::Complex& element, double value) { element.Real = value; }));
}

HRESULT CMatrixObject::get_AsArrayI(SAFEARRAY **pVal) {
    return Result(ArrayFromMatrix(matrix_, [](const corvane::Complex& c) { return c.Imag; }, pVal));
}

HRESULT CMatrixObject::put_AsArrayI(SAFEARRAY **newVal) {
    return Result(MatrixFromArray(newVal != nullptr ? *newVal : nullptr, matrix_,
                                  [](corvane::Complex& element, double value) { element.Imag = value; }));
}

HRESULT CMatrixObject::Clear() {
    return Result(matrix_.Clear());
}

HRESULT CMatrixObject::ColVector(LONG ColIndex, ICMatrix **pVal) {
    if (pVal == nullptr) return E_POINTER;
    ComplexMatrix column;
    if (Status s = matrix_.ColVector(ColIndex, &column); !s) return Result(s);
    return Create(std::move(column), pVal);
}

HRESULT CMatrixObject::RowVector(LONG RowIndex, ICMatrix **pVal) {
    if (pVal == nullptr) return E_POINTER;
    ComplexMatrix row;
    if (Status s = matrix_.RowVector(RowIndex, &row); !s) return Result(s);
    return Create(std::move(row), pVal);
}

HRESULT CMatrixObject::FillRandom(double, double, short) { return E_NOTIMPL; }

HRESULT CMatrixObject::GetString(short, BSTR, BSTR *) { return E_NOTIMPL; }

HRESULT CMatrixObject::Inverse(ICMatrix **) { return E_NOTIMPL; }

HRESULT CMatrixObject::IsEqualTo(ICMatrix **, double, VARIANT_BOOL *) { return E_NOTIMPL; }

HRESULT CMatrixObject::IsSymmetric(double, VARIANT_BOOL *) { return E_NOTIMPL; }

HRESULT CMatrixObject::LU(ICMatrix **, ICMatrix **, VARIANT *, LONG *) { return E_NOTIMPL; }

HRESULT CMatrixObject::Times(ICMatrix **, ICMatrix **) { return E_NOTIMPL; }

HRESULT CMatrixObject::Minus(ICMatrix **, ICMatrix **) { return E_NOTIMPL; }

HRESULT CMatrixObject::MinusEquals(ICMatrix **) { return E_NOTIMPL; }

HRESULT CMatrixObject::Plus(ICMatrix **, ICMatrix **) { return E_NOTIMPL; }

HRESULT CMatrixObject::PlusEquals(ICMatrix **) { return E_NOTIMPL; }

HRESULT CMatrixObject::Normalize(double *, ICMatrix **) { return E_NOTIMPL; }

HRESULT CMatrixObject::NormalizeMe(double *) { return E_NOTIMPL; }

HRESULT CMatrixObject::Transpose(ICMatrix **) { return E_NOTIMPL; }

HRESULT CMatrixObject::Solve(ICMatrix **, ICMatrix **) { return E_NOTIMPL; }

HRESULT CMatrixObject::SolveGauss(ICMatrix **, ICMatrix **) { return E_NOTIMPL; }

HRESULT CMatrixObject::QR(ICMatrix **, ICMatrix **) { return E_NOTIMPL; }

HRESULT CMatrixObject::Cholesky(ICMatrix **) { return E_NOTIMPL; }

HRESULT CMatrixObject::ReorderRows(VARIANT *) { return E_NOTIMPL; }

HRESULT CMatrixObject::ReorderCols(VARIANT *) { return E_NOTIMPL; }

HRESULT CMatrixObject::SortRows(LONG, SortOrderEnum, VARIANT *) { return E_NOTIMPL; }

HRESULT CMatrixObject::SortCols(LONG, SortOrderEnum, VARIANT *) { return E_NOTIMPL; }

HRESULT CMatrixObject::TimesScalar(::Complex *, ICMatrix **) { return E_NOTIMPL; }

HRESULT CMatrixObject::EigenC(ICMatrix **, ICMatrix **) { return E_NOTIMPL; }

HRESULT CMatrixObject::get_Version(BSTR *pVal) {
    return VersionString(pVal);
}
}  // namespace corvane::server
