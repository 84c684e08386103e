#include "server/matrix_object.h"

#include "server/dispatch.h"
#include "server/error_record.h"
#include "server/member_result.h"
#include "core/arithmetic.h"
#include "linalg/solve.h"
#include "eigen/eigen.h"
#include "linalg/cholesky.h"
#include "linalg/inverse.h"
#include "linalg/lu.h"
#include "linalg/qr.h"
#include "linalg/svd.h"
#include "core/comparisons.h"
#include "core/normalize.h"
#include "core/sorting.h"
#include "util/text_output.h"
#include "util/random_fill.h"
#include "server/adapters.h"
#include "server/perm_index_variant.h"
#include "server/text.h"
#include "server/cmatrix_object.h"
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

HRESULT MatrixObject::get_Item(LONG Row, LONG Col, double *pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    return Result(matrix_.Item(Row, Col, pVal));
}

HRESULT MatrixObject::put_Item(LONG Row, LONG Col, double newVal) {
    return Result(matrix_.PutItem(Row, Col, newVal));
}

HRESULT MatrixObject::get_Rows(LONG *pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    *pVal = matrix_.Rows();
    return S_OK;
}

HRESULT MatrixObject::put_Rows(LONG newVal) {
    return Result(matrix_.PutRows(newVal));
}

HRESULT MatrixObject::get_Cols(LONG *pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
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
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    *pVal = kMaxSize;
    return S_OK;
}

HRESULT MatrixObject::Clone(IMatrix **pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    corvane::Matrix copy;
    if (Status s = matrix_.Clone(&copy); !s) return Result(s);
    return Unreported(Create(std::move(copy), pVal));
}

HRESULT MatrixObject::get_IsSquare(VARIANT_BOOL *pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    bool square = false;
    if (Status s = matrix_.IsSquare(&square); !s) return Result(s);
    *pVal = square ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT MatrixObject::Determinant(double* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    return Result(corvane::Determinant(matrix_, pVal));
}

HRESULT MatrixObject::SwapRows(LONG Row1, LONG Row2) {
    return Result(matrix_.SwapRows(Row1, Row2));
}

HRESULT MatrixObject::SwapCols(LONG Col1, LONG Col2) {
    return Result(matrix_.SwapCols(Col1, Col2));
}

HRESULT MatrixObject::get_AsArray(SAFEARRAY** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    SafeArraySink sink;
    if (Status s = AsArray(matrix_, &sink); !s) return Result(s);
    *pVal = sink.Release();
    return S_OK;
}

HRESULT MatrixObject::put_AsArray(SAFEARRAY** newVal) {
    SafeArraySource source(newVal != nullptr ? *newVal : nullptr);
    if (FAILED(source.LockResult())) return Unreported(source.LockResult());
    return Result(PutAsArray(matrix_, &source));
}

HRESULT MatrixObject::Clear() {
    return Result(matrix_.Clear());
}

HRESULT MatrixObject::ColVector(LONG ColIndex, IMatrix **pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    corvane::Matrix column;
    if (Status s = matrix_.ColVector(ColIndex, &column); !s) return Result(s);
    return Unreported(Create(std::move(column), pVal));
}

HRESULT MatrixObject::RowVector(LONG RowIndex, IMatrix **pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    corvane::Matrix row;
    if (Status s = matrix_.RowVector(RowIndex, &row); !s) return Result(s);
    return Unreported(Create(std::move(row), pVal));
}

HRESULT MatrixObject::FillRandom(double LowLimit, double HighLimit, short NumDecimalPlaces) {
    return Result(corvane::FillRandom(matrix_, LowLimit, HighLimit, NumDecimalPlaces));
}

HRESULT MatrixObject::GetString(short NumDecimalPlaces, BSTR EndOfLineChars, BSTR* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    Buffer<char> endOfLine, text;
    if (Status s = NarrowText(EndOfLineChars, &endOfLine); !s) return Result(s);
    const std::string_view eol(endOfLine.data(), static_cast<std::size_t>(endOfLine.size()));
    if (Status s = corvane::GetString(matrix_, NumDecimalPlaces, eol, &text); !s) return Result(s);
    return Unreported(WideString(text.data(), text.size(), pVal));
}

HRESULT MatrixObject::Inverse(IMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    corvane::Matrix result;
    if (Status s = corvane::Inverse(matrix_, &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT MatrixObject::IsEqualTo(IMatrix** Matrix2, double MaxDifference, VARIANT_BOOL* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    MatrixArgument b(Matrix2);
    bool equal = false;
    if (Status s = corvane::IsEqualTo(matrix_, b.get(), MaxDifference, &equal); !s) return Result(s);
    *pVal = equal ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT MatrixObject::IsSymmetric(double MaxDifference, VARIANT_BOOL* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    bool symmetric = false;
    if (Status s = corvane::IsSymmetric(matrix_, MaxDifference, &symmetric); !s) return Result(s);
    *pVal = symmetric ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT MatrixObject::LU(IMatrix** L, IMatrix** U, VARIANT* PermIndex, LONG* PermSign) {
    // The index array is made first, so that no output is written unless all are.
    SAFEARRAY* array = nullptr;
    if (matrix_.sized() && PermIndex != nullptr)
        if (HRESULT hr = NewIndexArray(matrix_.Rows(), &array); FAILED(hr)) return Unreported(hr);
    MatrixArgument lower(L), upper(U);
    Buffer<std::int32_t> entries;
    std::int32_t sign = 1;
    if (Status s = corvane::LU(matrix_, lower.get(), upper.get(), &entries, &sign); !s) {
        if (array != nullptr) SafeArrayDestroy(array);
        return Result(s);
    }
    if (array != nullptr) StoreIndex(array, entries, PermIndex);
    if (PermSign != nullptr) *PermSign = sign;
    return S_OK;
}

HRESULT MatrixObject::Times(IMatrix** Matrix2, IMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    MatrixArgument b(Matrix2);
    corvane::Matrix result;
    if (Status s = corvane::Times(matrix_, b.get(), &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT MatrixObject::Minus(IMatrix** MatrixToSubtract, IMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    MatrixArgument b(MatrixToSubtract);
    corvane::Matrix result;
    if (Status s = corvane::Minus(matrix_, b.get(), &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT MatrixObject::MinusEquals(IMatrix** MatrixToSubtract) {
    MatrixArgument b(MatrixToSubtract);
    return Result(corvane::MinusEquals(matrix_, b.get()));
}

HRESULT MatrixObject::Plus(IMatrix** MatrixToAdd, IMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    MatrixArgument b(MatrixToAdd);
    corvane::Matrix result;
    if (Status s = corvane::Plus(matrix_, b.get(), &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT MatrixObject::PlusEquals(IMatrix** MatrixToAdd) {
    MatrixArgument b(MatrixToAdd);
    return Result(corvane::PlusEquals(matrix_, b.get()));
}

HRESULT MatrixObject::Normalize(double* NormValue, IMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    double norm = 0.0;
    corvane::Matrix result;
    if (Status s = corvane::Normalize(matrix_, &norm, &result); !s) return Result(s);
    if (HRESULT hr = Create(std::move(result), pVal); FAILED(hr)) return Unreported(hr);
    if (NormValue != nullptr) *NormValue = norm;
    return S_OK;
}

HRESULT MatrixObject::NormalizeMe(double* NormValue) {
    double norm = 0.0;
    if (Status s = corvane::NormalizeMe(matrix_, &norm); !s) return Result(s);
    if (NormValue != nullptr) *NormValue = norm;
    return S_OK;
}

HRESULT MatrixObject::Transpose(IMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    corvane::Matrix result;
    if (Status s = corvane::Transpose(matrix_, &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT MatrixObject::Solve(IMatrix** RightHandTerms, IMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    MatrixArgument rhs(RightHandTerms);
    corvane::Matrix result;
    if (Status s = corvane::Solve(matrix_, rhs.get(), &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT MatrixObject::SolveGauss(IMatrix** RightHandTerms, IMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    MatrixArgument rhs(RightHandTerms);
    corvane::Matrix result;
    if (Status s = corvane::SolveGauss(matrix_, rhs.get(), &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT MatrixObject::QR(IMatrix** Q, IMatrix** R) {
    MatrixArgument q(Q), r(R);
    return Result(corvane::QR(matrix_, q.get(), r.get()));
}

HRESULT MatrixObject::Cholesky(IMatrix** L) {
    MatrixArgument lower(L);
    return Result(corvane::Cholesky(matrix_, lower.get()));
}

HRESULT MatrixObject::ReorderRows(VARIANT* PermIndex) {
    VariantPermIndex index(PermIndex);
    return Result(corvane::ReorderRows(matrix_, PermIndex != nullptr ? &index : nullptr));
}

HRESULT MatrixObject::ReorderCols(VARIANT* PermIndex) {
    VariantPermIndex index(PermIndex);
    return Result(corvane::ReorderCols(matrix_, PermIndex != nullptr ? &index : nullptr));
}

HRESULT MatrixObject::SortRows(LONG ColIndex, ::SortOrderEnum SortOrder, VARIANT* PermIndex) {
    // The index array is made first, so that a sorted matrix always gets it.
    SAFEARRAY* array = nullptr;
    if (matrix_.sized())
        if (HRESULT hr = NewIndexArray(matrix_.Rows(), &array); FAILED(hr)) return Unreported(hr);
    Buffer<std::int32_t> entries;
    if (Status s = corvane::SortRows(matrix_, ColIndex, static_cast<std::int32_t>(SortOrder), &entries); !s) {
        if (array != nullptr) SafeArrayDestroy(array);
        return Result(s);
    }
    StoreIndex(array, entries, PermIndex);
    return S_OK;
}

HRESULT MatrixObject::SortCols(LONG RowIndex, ::SortOrderEnum SortOrder, VARIANT* PermIndex) {
    // The index array is made first, so that a sorted matrix always gets it.
    SAFEARRAY* array = nullptr;
    if (matrix_.sized())
        if (HRESULT hr = NewIndexArray(matrix_.Cols(), &array); FAILED(hr)) return Unreported(hr);
    Buffer<std::int32_t> entries;
    if (Status s = corvane::SortCols(matrix_, RowIndex, static_cast<std::int32_t>(SortOrder), &entries); !s) {
        if (array != nullptr) SafeArrayDestroy(array);
        return Result(s);
    }
    StoreIndex(array, entries, PermIndex);
    return S_OK;
}

HRESULT MatrixObject::SVD(IMatrix** U, IMatrix** S, IMatrix** V) {
    MatrixArgument u(U), singular(S), v(V);
    return Result(corvane::SVD(matrix_, u.get(), singular.get(), v.get()));
}

HRESULT MatrixObject::TimesScalar(double Scalar, IMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    const double scalar = Scalar;
    corvane::Matrix result;
    if (Status s = corvane::TimesScalar(matrix_, scalar, &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT MatrixObject::Eigen(IMatrix** RealValues, IMatrix** ImagValues, IMatrix** RealVectors, IMatrix** ImagVectors) {
    MatrixArgument realValues(RealValues), imagValues(ImagValues), realVectors(RealVectors), imagVectors(ImagVectors);
    return Result(corvane::Eigen(matrix_, realValues.get(), imagValues.get(), realVectors.get(), imagVectors.get()));
}

HRESULT MatrixObject::EigenC(ICMatrix** Eigenvalues, ICMatrix** Eigenvectors) {
    CMatrixArgument values(Eigenvalues), vectors(Eigenvectors);
    return Result(corvane::EigenC(matrix_, values.get(), vectors.get()));
}

HRESULT MatrixObject::ToCMatrix(ICMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    corvane::CMatrix result;
    if (Status s = corvane::ToCMatrix(matrix_, &result); !s) return Result(s);
    return Unreported(CMatrixObject::Create(std::move(result), pVal));
}

HRESULT MatrixObject::get_Version(BSTR *pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    return Unreported(VersionString(pVal));
}
}  // namespace corvane::server
