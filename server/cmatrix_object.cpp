#include "server/cmatrix_object.h"

#include "server/dispatch.h"
#include "server/error_record.h"
#include "server/member_result.h"
#include "core/arithmetic.h"
#include "eigen/eigen.h"
#include "linalg/complex_cholesky.h"
#include "linalg/complex_inverse.h"
#include "linalg/complex_lu.h"
#include "linalg/complex_qr.h"
#include "core/comparisons.h"
#include "core/normalize.h"
#include "core/sorting.h"
#include "util/text_output.h"
#include "util/random_fill.h"
#include "server/adapters.h"
#include "server/perm_index_variant.h"
#include "server/text.h"
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

HRESULT CMatrixObject::get_Item(LONG Row, LONG Col, ::Complex *pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    corvane::Complex value;
    if (Status s = matrix_.Item(Row, Col, &value); !s) return Result(s);
    pVal->Real = value.Real;
    pVal->Imag = value.Imag;
    return S_OK;
}

HRESULT CMatrixObject::put_Item(LONG Row, LONG Col, ::Complex *newVal) {
    if (newVal == nullptr) return Unreported(E_POINTER);
    return Result(matrix_.PutItem(Row, Col, corvane::Complex{newVal->Real, newVal->Imag}));
}

HRESULT CMatrixObject::get_Rows(LONG *pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    *pVal = matrix_.Rows();
    return S_OK;
}

HRESULT CMatrixObject::put_Rows(LONG newVal) {
    return Result(matrix_.PutRows(newVal));
}

HRESULT CMatrixObject::get_Cols(LONG *pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
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
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    *pVal = kMaxSize;
    return S_OK;
}

HRESULT CMatrixObject::Clone(ICMatrix **pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    ComplexMatrix copy;
    if (Status s = matrix_.Clone(&copy); !s) return Result(s);
    return Unreported(Create(std::move(copy), pVal));
}

HRESULT CMatrixObject::get_IsSquare(VARIANT_BOOL *pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    bool square = false;
    if (Status s = matrix_.IsSquare(&square); !s) return Result(s);
    *pVal = square ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CMatrixObject::Determinant(::Complex* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    corvane::Complex det{};
    if (Status s = corvane::Determinant(matrix_, &det); !s) return Result(s);
    pVal->Real = det.Real;
    pVal->Imag = det.Imag;
    return S_OK;
}

HRESULT CMatrixObject::SwapRows(LONG Row1, LONG Row2) {
    return Result(matrix_.SwapRows(Row1, Row2));
}

HRESULT CMatrixObject::SwapCols(LONG Col1, LONG Col2) {
    return Result(matrix_.SwapCols(Col1, Col2));
}

HRESULT CMatrixObject::get_AsArrayR(SAFEARRAY** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    SafeArraySink sink;
    if (Status s = AsArrayR(matrix_, &sink); !s) return Result(s);
    *pVal = sink.Release();
    return S_OK;
}

HRESULT CMatrixObject::put_AsArrayR(SAFEARRAY** newVal) {
    SafeArraySource source(newVal != nullptr ? *newVal : nullptr);
    if (FAILED(source.LockResult())) return Unreported(source.LockResult());
    return Result(PutAsArrayR(matrix_, &source));
}

HRESULT CMatrixObject::get_AsArrayI(SAFEARRAY** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    SafeArraySink sink;
    if (Status s = AsArrayI(matrix_, &sink); !s) return Result(s);
    *pVal = sink.Release();
    return S_OK;
}

HRESULT CMatrixObject::put_AsArrayI(SAFEARRAY** newVal) {
    SafeArraySource source(newVal != nullptr ? *newVal : nullptr);
    if (FAILED(source.LockResult())) return Unreported(source.LockResult());
    return Result(PutAsArrayI(matrix_, &source));
}

HRESULT CMatrixObject::Clear() {
    return Result(matrix_.Clear());
}

HRESULT CMatrixObject::ColVector(LONG ColIndex, ICMatrix **pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    ComplexMatrix column;
    if (Status s = matrix_.ColVector(ColIndex, &column); !s) return Result(s);
    return Unreported(Create(std::move(column), pVal));
}

HRESULT CMatrixObject::RowVector(LONG RowIndex, ICMatrix **pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    ComplexMatrix row;
    if (Status s = matrix_.RowVector(RowIndex, &row); !s) return Result(s);
    return Unreported(Create(std::move(row), pVal));
}

HRESULT CMatrixObject::FillRandom(double LowLimit, double HighLimit, short NumDecimalPlaces) {
    return Result(corvane::FillRandom(matrix_, LowLimit, HighLimit, NumDecimalPlaces));
}

HRESULT CMatrixObject::GetString(short NumDecimalPlaces, BSTR EndOfLineChars, BSTR* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    Buffer<char> endOfLine, text;
    if (Status s = NarrowText(EndOfLineChars, &endOfLine); !s) return Result(s);
    const std::string_view eol(endOfLine.data(), static_cast<std::size_t>(endOfLine.size()));
    if (Status s = corvane::GetString(matrix_, NumDecimalPlaces, eol, &text); !s) return Result(s);
    return Unreported(WideString(text.data(), text.size(), pVal));
}

HRESULT CMatrixObject::Inverse(ICMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    ComplexMatrix result;
    if (Status s = corvane::Inverse(matrix_, &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT CMatrixObject::IsEqualTo(ICMatrix** CMatrix2, double MaxDifference, VARIANT_BOOL* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    CMatrixArgument b(CMatrix2);
    bool equal = false;
    if (Status s = corvane::IsEqualTo(matrix_, b.get(), MaxDifference, &equal); !s) return Result(s);
    *pVal = equal ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CMatrixObject::IsSymmetric(double MaxDifference, VARIANT_BOOL* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    bool symmetric = false;
    if (Status s = corvane::IsSymmetric(matrix_, MaxDifference, &symmetric); !s) return Result(s);
    *pVal = symmetric ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CMatrixObject::LU(ICMatrix** L, ICMatrix** U, VARIANT* PermIndex, LONG* PermSign) {
    // The index array is made first, so that no output is written unless all are.
    SAFEARRAY* array = nullptr;
    if (matrix_.sized() && PermIndex != nullptr)
        if (HRESULT hr = NewIndexArray(matrix_.Rows(), &array); FAILED(hr)) return Unreported(hr);
    CMatrixArgument lower(L), upper(U);
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

HRESULT CMatrixObject::Times(ICMatrix** CMatrix2, ICMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    CMatrixArgument b(CMatrix2);
    ComplexMatrix result;
    if (Status s = corvane::Times(matrix_, b.get(), &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT CMatrixObject::Minus(ICMatrix** CMatrixToSubtract, ICMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    CMatrixArgument b(CMatrixToSubtract);
    ComplexMatrix result;
    if (Status s = corvane::Minus(matrix_, b.get(), &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT CMatrixObject::MinusEquals(ICMatrix** CMatrixToSubtract) {
    CMatrixArgument b(CMatrixToSubtract);
    return Result(corvane::MinusEquals(matrix_, b.get()));
}

HRESULT CMatrixObject::Plus(ICMatrix** CMatrixToAdd, ICMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    CMatrixArgument b(CMatrixToAdd);
    ComplexMatrix result;
    if (Status s = corvane::Plus(matrix_, b.get(), &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT CMatrixObject::PlusEquals(ICMatrix** CMatrixToAdd) {
    CMatrixArgument b(CMatrixToAdd);
    return Result(corvane::PlusEquals(matrix_, b.get()));
}

HRESULT CMatrixObject::Normalize(double* NormValue, ICMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    double norm = 0.0;
    ComplexMatrix result;
    if (Status s = corvane::Normalize(matrix_, &norm, &result); !s) return Result(s);
    if (HRESULT hr = Create(std::move(result), pVal); FAILED(hr)) return Unreported(hr);
    if (NormValue != nullptr) *NormValue = norm;
    return S_OK;
}

HRESULT CMatrixObject::NormalizeMe(double* NormValue) {
    double norm = 0.0;
    if (Status s = corvane::NormalizeMe(matrix_, &norm); !s) return Result(s);
    if (NormValue != nullptr) *NormValue = norm;
    return S_OK;
}

HRESULT CMatrixObject::Transpose(ICMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    ComplexMatrix result;
    if (Status s = corvane::Transpose(matrix_, &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT CMatrixObject::Solve(ICMatrix** RightHandTerms, ICMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    CMatrixArgument rhs(RightHandTerms);
    ComplexMatrix result;
    if (Status s = corvane::Solve(matrix_, rhs.get(), &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT CMatrixObject::SolveGauss(ICMatrix** RightHandTerms, ICMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    CMatrixArgument rhs(RightHandTerms);
    ComplexMatrix result;
    if (Status s = corvane::SolveGauss(matrix_, rhs.get(), &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT CMatrixObject::QR(ICMatrix** Q, ICMatrix** R) {
    CMatrixArgument q(Q), r(R);
    return Result(corvane::QR(matrix_, q.get(), r.get()));
}

HRESULT CMatrixObject::Cholesky(ICMatrix** L) {
    CMatrixArgument lower(L);
    return Result(corvane::Cholesky(matrix_, lower.get()));
}

HRESULT CMatrixObject::ReorderRows(VARIANT* PermIndex) {
    VariantPermIndex index(PermIndex);
    return Result(corvane::ReorderRows(matrix_, PermIndex != nullptr ? &index : nullptr));
}

HRESULT CMatrixObject::ReorderCols(VARIANT* PermIndex) {
    VariantPermIndex index(PermIndex);
    return Result(corvane::ReorderCols(matrix_, PermIndex != nullptr ? &index : nullptr));
}

HRESULT CMatrixObject::SortRows(LONG ColIndex, ::SortOrderEnum SortOrder, VARIANT* PermIndex) {
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

HRESULT CMatrixObject::SortCols(LONG RowIndex, ::SortOrderEnum SortOrder, VARIANT* PermIndex) {
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

HRESULT CMatrixObject::TimesScalar(::Complex* Scalar, ICMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    if (Scalar == nullptr) return Unreported(E_POINTER);
    const corvane::Complex scalar{Scalar->Real, Scalar->Imag};
    ComplexMatrix result;
    if (Status s = corvane::TimesScalar(matrix_, scalar, &result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

HRESULT CMatrixObject::EigenC(ICMatrix** Eigenvalues, ICMatrix** Eigenvectors) {
    CMatrixArgument values(Eigenvalues), vectors(Eigenvectors);
    return Result(corvane::EigenC(matrix_, values.get(), vectors.get()));
}

HRESULT CMatrixObject::get_Version(BSTR *pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    return Unreported(VersionString(pVal));
}
}  // namespace corvane::server
