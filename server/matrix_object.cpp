#include "server/matrix_object.h"

#include "server/dispatch.h"
#include "server/error_record.h"
#include "server/safe_array.h"
#include "server/version.h"

namespace corvane::server {

HRESULT MakeMatrixObject(IUnknown* outer, REFIID iid, void** out) { return MakeObject<MatrixObject>(outer, iid, out); }

HRESULT MatrixObject::Create(corvane::Matrix&& data, IMatrix** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    MatrixObject* object = new (std::nothrow) MatrixObject(nullptr);
    if (object == nullptr) return E_OUTOFMEMORY;
    object->matrix_ = std::move(data);
    object->AddRef();
    *out = object;
    return S_OK;
}

HRESULT MatrixObject::Result(Status status) { return ToResult(CLSID_Matrix, status); }

void* MatrixObject::Find(REFIID iid) {
    if (IsEqualIID(iid, IID_IMatrix) || IsEqualIID(iid, IID_IDispatch)) return static_cast<IMatrix*>(this);
    if (IsEqualIID(iid, IID_IProvideClassInfo)) return static_cast<IProvideClassInfo*>(this);
    if (IsEqualIID(iid, IID_ISupportErrorInfo)) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}

HRESULT MatrixObject::GetTypeInfoCount(UINT* count) { return DispatchGetTypeInfoCount(count); }
HRESULT MatrixObject::GetTypeInfo(UINT, LCID lcid, ITypeInfo** out) { return DispatchGetTypeInfo(IID_IMatrix, lcid, out); }
HRESULT MatrixObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) {
    return DispatchGetIDsOfNames(IID_IMatrix, names, count, lcid, ids);
}
HRESULT MatrixObject::Invoke(DISPID member, REFIID, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                     EXCEPINFO* exception, UINT* argError) {
    return DispatchInvoke(IID_IMatrix, static_cast<IMatrix*>(this), member, flags, params, result, exception, argError,
                          lcid);
}
HRESULT MatrixObject::GetClassInfo(ITypeInfo** out) { return GetTypeInfoOf(CLSID_Matrix, LOCALE_USER_DEFAULT, out); }
HRESULT MatrixObject::InterfaceSupportsErrorInfo(REFIID iid) { return IsEqualIID(iid, IID_IMatrix) ? S_OK : S_FALSE; }

// Members not yet served return E_NOTIMPL.

HRESULT MatrixObject::get_Item(LONG Row, LONG Col, double *pVal) {
    if (pVal == nullptr) return E_POINTER;
    return Result(matrix_.Item(Row, Col, pVal));
}

HRESULT MatrixObject::put_Item(LONG Row, LONG Col, double newVal) {
    return Result(matrix_.PutItem(Row, Col, newVal));
}

HRESULT MatrixObject::get_Rows(LONG *pVal) {
    if (pVal == nullptr) return E_POINTER;
    *pVal = matrix_.Rows();
    return S_OK;
}

HRESULT MatrixObject::put_Rows(LONG newVal) {
    return Result(matrix_.PutRows(newVal));
}

HRESULT MatrixObject::get_Cols(LONG *pVal) {
    if (pVal == nullptr) return E_POINTER;
    *pVal = matrix_.Cols();
    return S_OK;
}

HRESULT MatrixObject::put_Cols(LONG newVal) {
    return Result(matrix_.PutCols(newVal));
}

HRESULT MatrixObject::Size(LONG Rows, LONG Cols) {
    return Result(matrix_.Size(Rows, Cols));
}

HRESULT MatrixObject::get_MaxSize(LONG *pVal) {
    if (pVal == nullptr) return E_POINTER;
    *pVal = kMaxSize;
    return S_OK;
}

HRESULT MatrixObject::Clone(IMatrix **pVal) {
    if (pVal == nullptr) return E_POINTER;
    corvane::Matrix copy;
    if (Status s = matrix_.Clone(&copy); !s) return Result(s);
    return Create(std::move(copy), pVal);
}

HRESULT MatrixObject::get_IsSquare(VARIANT_BOOL *pVal) {
    if (pVal == nullptr) return E_POINTER;
    bool square = false;
    if (Status s = matrix_.IsSquare(&square); !s) return Result(s);
    *pVal = square ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT MatrixObject::Determinant(double *) { return E_NOTIMPL; }

HRESULT MatrixObject::SwapRows(LONG Row1, LONG Row2) {
    return Result(matrix_.SwapRows(Row1, Row2));
}

HRESULT MatrixObject::SwapCols(LONG Col1, LONG Col2) {
    return Result(matrix_.SwapCols(Col1, Col2));
}

HRESULT MatrixObject::get_AsArray(SAFEARRAY **pVal) {
    return Result(ArrayFromMatrix(matrix_, [](double x) { return x; }, pVal));
}

HRESULT MatrixObject::put_AsArray(SAFEARRAY **newVal) {
    return Result(MatrixFromArray(newVal != nullptr ? *newVal : nullptr, matrix_,
                                  [](double& element, double value) { element = value; }));
}

HRESULT MatrixObject::Clear() {
    return Result(matrix_.Clear());
}

HRESULT MatrixObject::ColVector(LONG ColIndex, IMatrix **pVal) {
    if (pVal == nullptr) return E_POINTER;
    corvane::Matrix column;
    if (Status s = matrix_.ColVector(ColIndex, &column); !s) return Result(s);
    return Create(std::move(column), pVal);
}

HRESULT MatrixObject::RowVector(LONG RowIndex, IMatrix **pVal) {
    if (pVal == nullptr) return E_POINTER;
    corvane::Matrix row;
    if (Status s = matrix_.RowVector(RowIndex, &row); !s) return Result(s);
    return Create(std::move(row), pVal);
}

HRESULT MatrixObject::FillRandom(double, double, short) { return E_NOTIMPL; }

HRESULT MatrixObject::GetString(short, BSTR, BSTR *) { return E_NOTIMPL; }

HRESULT MatrixObject::Inverse(IMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::IsEqualTo(IMatrix **, double, VARIANT_BOOL *) { return E_NOTIMPL; }

HRESULT MatrixObject::IsSymmetric(double, VARIANT_BOOL *) { return E_NOTIMPL; }

HRESULT MatrixObject::LU(IMatrix **, IMatrix **, VARIANT *, LONG *) { return E_NOTIMPL; }

HRESULT MatrixObject::Times(IMatrix **, IMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::Minus(IMatrix **, IMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::MinusEquals(IMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::Plus(IMatrix **, IMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::PlusEquals(IMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::Normalize(double *, IMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::NormalizeMe(double *) { return E_NOTIMPL; }

HRESULT MatrixObject::Transpose(IMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::Solve(IMatrix **, IMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::SolveGauss(IMatrix **, IMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::QR(IMatrix **, IMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::Cholesky(IMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::ReorderRows(VARIANT *) { return E_NOTIMPL; }

HRESULT MatrixObject::ReorderCols(VARIANT *) { return E_NOTIMPL; }

HRESULT MatrixObject::SortRows(LONG, SortOrderEnum, VARIANT *) { return E_NOTIMPL; }

HRESULT MatrixObject::SortCols(LONG, SortOrderEnum, VARIANT *) { return E_NOTIMPL; }

HRESULT MatrixObject::SVD(IMatrix **, IMatrix **, IMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::TimesScalar(double, IMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::Eigen(IMatrix **, IMatrix **, IMatrix **, IMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::EigenC(ICMatrix **, ICMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::ToCMatrix(ICMatrix **) { return E_NOTIMPL; }

HRESULT MatrixObject::get_Version(BSTR *pVal) {
    return VersionString(pVal);
}
}  // namespace corvane::server
