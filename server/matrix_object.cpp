#include "server/matrix_object.h"

#include <utility>

#include "core/arithmetic.h"
#include "core/cmatrix.h"
#include "core/comparisons.h"
#include "core/normalize.h"
#include "core/random_fill.h"
#include "core/sorting.h"
#include "core/text_output.h"
#include "eigen/eigen.h"
#include "linalg/cholesky.h"
#include "linalg/inverse.h"
#include "linalg/lu.h"
#include "linalg/qr.h"
#include "linalg/solve.h"
#include "linalg/svd.h"
#include "server/error_record.h"
#include "server/member_result.h"
#include "server/perm_index_variant.h"
#include "server/safe_array.h"
#include "server/text.h"
#include "server/version.h"

namespace corvane::server {

template <class T>
HRESULT BasicMatrixObject<T>::Create(BasicMatrix<T>&& data, Interface** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    auto* object = new (std::nothrow) typename Traits::Object(nullptr);
    if (object == nullptr) return E_OUTOFMEMORY;
    object->matrix_ = std::move(data);
    object->AddRef();
    *out = object;
    return S_OK;
}

template <class T>
template <class Make>
HRESULT BasicMatrixObject<T>::NewObject(Interface** pVal, Make make) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    BasicMatrix<T> result;
    if (Status s = make(&result); !s) return Result(s);
    return Unreported(Create(std::move(result), pVal));
}

template <class T>
HRESULT BasicMatrixObject<T>::get_Item(LONG Row, LONG Col, Value* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    T value{};
    if (Status s = matrix_.Item(Row, Col, &value); !s) return Result(s);
    Traits::Write(value, pVal);
    return S_OK;
}

template <class T>
HRESULT BasicMatrixObject<T>::put_Item(LONG Row, LONG Col, ValueIn newVal) {
    T value{};
    if (Status s = Traits::Read(newVal, &value); !s) return Result(s);
    return Result(matrix_.PutItem(Row, Col, value));
}

template <class T>
HRESULT BasicMatrixObject<T>::get_Rows(LONG* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    *pVal = matrix_.Rows();
    return S_OK;
}

template <class T>
HRESULT BasicMatrixObject<T>::put_Rows(LONG newVal) {
    return Result(matrix_.PutRows(newVal));
}

template <class T>
HRESULT BasicMatrixObject<T>::get_Cols(LONG* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    *pVal = matrix_.Cols();
    return S_OK;
}

template <class T>
HRESULT BasicMatrixObject<T>::put_Cols(LONG newVal) {
    return Result(matrix_.PutCols(newVal));
}

template <class T>
HRESULT BasicMatrixObject<T>::Size(LONG Rows, LONG Cols) {
    return Result(matrix_.Size(Rows, Cols));
}

template <class T>
HRESULT BasicMatrixObject<T>::get_MaxSize(LONG* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    *pVal = kMaxSize;
    return S_OK;
}

template <class T>
HRESULT BasicMatrixObject<T>::Clone(Interface** pVal) {
    return NewObject(pVal, [&](BasicMatrix<T>* copy) { return matrix_.Clone(copy); });
}

template <class T>
HRESULT BasicMatrixObject<T>::get_IsSquare(VARIANT_BOOL* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    bool square = false;
    if (Status s = matrix_.IsSquare(&square); !s) return Result(s);
    *pVal = square ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

template <class T>
HRESULT BasicMatrixObject<T>::Determinant(Value* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    T det{};
    if (Status s = corvane::Determinant(matrix_, &det); !s) return Result(s);
    Traits::Write(det, pVal);
    return S_OK;
}

template <class T>
HRESULT BasicMatrixObject<T>::SwapRows(LONG Row1, LONG Row2) {
    return Result(matrix_.SwapRows(Row1, Row2));
}

template <class T>
HRESULT BasicMatrixObject<T>::SwapCols(LONG Col1, LONG Col2) {
    return Result(matrix_.SwapCols(Col1, Col2));
}

template <class T>
HRESULT BasicMatrixObject<T>::GetArray(Status (*get)(const BasicMatrix<T>&, ArraySink*), SAFEARRAY** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    SafeArraySink sink;
    if (Status s = get(matrix_, &sink); !s) return Result(s);
    *pVal = sink.Release();
    return S_OK;
}

template <class T>
HRESULT BasicMatrixObject<T>::PutArray(Status (*put)(BasicMatrix<T>&, const ArraySource*), SAFEARRAY** newVal) {
    SafeArraySource source(newVal != nullptr ? *newVal : nullptr);
    if (FAILED(source.LockResult())) return Unreported(source.LockResult());
    return Result(put(matrix_, &source));
}

template <class T>
HRESULT BasicMatrixObject<T>::Clear() {
    return Result(matrix_.Clear());
}

template <class T>
HRESULT BasicMatrixObject<T>::ColVector(LONG ColIndex, Interface** pVal) {
    return NewObject(pVal, [&](BasicMatrix<T>* column) { return matrix_.ColVector(ColIndex, column); });
}

template <class T>
HRESULT BasicMatrixObject<T>::RowVector(LONG RowIndex, Interface** pVal) {
    return NewObject(pVal, [&](BasicMatrix<T>* row) { return matrix_.RowVector(RowIndex, row); });
}

template <class T>
HRESULT BasicMatrixObject<T>::FillRandom(double LowLimit, double HighLimit, short NumDecimalPlaces) {
    return Result(corvane::FillRandom(matrix_, LowLimit, HighLimit, NumDecimalPlaces));
}

template <class T>
HRESULT BasicMatrixObject<T>::GetString(short NumDecimalPlaces, BSTR EndOfLineChars, BSTR* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    Buffer<char> endOfLine, text;
    if (Status s = NarrowText(EndOfLineChars, &endOfLine); !s) return Result(s);
    const std::string_view eol(endOfLine.data(), static_cast<std::size_t>(endOfLine.size()));
    if (Status s = corvane::GetString(matrix_, NumDecimalPlaces, eol, &text); !s) return Result(s);
    return Unreported(WideString(text.data(), text.size(), pVal));
}

template <class T>
HRESULT BasicMatrixObject<T>::Inverse(Interface** pVal) {
    return NewObject(pVal, [&](BasicMatrix<T>* result) { return corvane::Inverse(matrix_, result); });
}

template <class T>
HRESULT BasicMatrixObject<T>::IsEqualTo(Interface** Other, double MaxDifference, VARIANT_BOOL* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    typename Traits::Argument b(Other);
    bool equal = false;
    if (Status s = corvane::IsEqualTo(matrix_, b.get(), MaxDifference, &equal); !s) return Result(s);
    *pVal = equal ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

template <class T>
HRESULT BasicMatrixObject<T>::IsSymmetric(double MaxDifference, VARIANT_BOOL* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    bool symmetric = false;
    if (Status s = corvane::IsSymmetric(matrix_, MaxDifference, &symmetric); !s) return Result(s);
    *pVal = symmetric ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

template <class T>
HRESULT BasicMatrixObject<T>::LU(Interface** L, Interface** U, VARIANT* PermIndex, LONG* PermSign) {
    // The index array is made first, so that no output is written unless all are.
    SAFEARRAY* array = nullptr;
    if (matrix_.sized() && PermIndex != nullptr)
        if (HRESULT hr = NewIndexArray(matrix_.Rows(), &array); FAILED(hr)) return Unreported(hr);
    typename Traits::Argument lower(L), upper(U);
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

template <class T>
HRESULT BasicMatrixObject<T>::Times(Interface** Other, Interface** pVal) {
    return NewObject(pVal, [&](BasicMatrix<T>* result) {
        typename Traits::Argument b(Other);
        return corvane::Times(matrix_, b.get(), result);
    });
}

template <class T>
HRESULT BasicMatrixObject<T>::Minus(Interface** ToSubtract, Interface** pVal) {
    return NewObject(pVal, [&](BasicMatrix<T>* result) {
        typename Traits::Argument b(ToSubtract);
        return corvane::Minus(matrix_, b.get(), result);
    });
}

template <class T>
HRESULT BasicMatrixObject<T>::MinusEquals(Interface** ToSubtract) {
    typename Traits::Argument b(ToSubtract);
    return Result(corvane::MinusEquals(matrix_, b.get()));
}

template <class T>
HRESULT BasicMatrixObject<T>::Plus(Interface** ToAdd, Interface** pVal) {
    return NewObject(pVal, [&](BasicMatrix<T>* result) {
        typename Traits::Argument b(ToAdd);
        return corvane::Plus(matrix_, b.get(), result);
    });
}

template <class T>
HRESULT BasicMatrixObject<T>::PlusEquals(Interface** ToAdd) {
    typename Traits::Argument b(ToAdd);
    return Result(corvane::PlusEquals(matrix_, b.get()));
}

template <class T>
HRESULT BasicMatrixObject<T>::Normalize(double* NormValue, Interface** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    double norm = 0.0;
    BasicMatrix<T> result;
    if (Status s = corvane::Normalize(matrix_, &norm, &result); !s) return Result(s);
    if (HRESULT hr = Create(std::move(result), pVal); FAILED(hr)) return Unreported(hr);
    if (NormValue != nullptr) *NormValue = norm;
    return S_OK;
}

template <class T>
HRESULT BasicMatrixObject<T>::NormalizeMe(double* NormValue) {
    double norm = 0.0;
    if (Status s = corvane::NormalizeMe(matrix_, &norm); !s) return Result(s);
    if (NormValue != nullptr) *NormValue = norm;
    return S_OK;
}

template <class T>
HRESULT BasicMatrixObject<T>::Transpose(Interface** pVal) {
    return NewObject(pVal, [&](BasicMatrix<T>* result) { return corvane::Transpose(matrix_, result); });
}

template <class T>
HRESULT BasicMatrixObject<T>::Solve(Interface** RightHandTerms, Interface** pVal) {
    return NewObject(pVal, [&](BasicMatrix<T>* result) {
        typename Traits::Argument rhs(RightHandTerms);
        return corvane::Solve(matrix_, rhs.get(), result);
    });
}

template <class T>
HRESULT BasicMatrixObject<T>::SolveGauss(Interface** RightHandTerms, Interface** pVal) {
    return NewObject(pVal, [&](BasicMatrix<T>* result) {
        typename Traits::Argument rhs(RightHandTerms);
        return corvane::SolveGauss(matrix_, rhs.get(), result);
    });
}

template <class T>
HRESULT BasicMatrixObject<T>::QR(Interface** Q, Interface** R) {
    typename Traits::Argument q(Q), r(R);
    return Result(corvane::QR(matrix_, q.get(), r.get()));
}

template <class T>
HRESULT BasicMatrixObject<T>::Cholesky(Interface** L) {
    typename Traits::Argument lower(L);
    return Result(corvane::Cholesky(matrix_, lower.get()));
}

template <class T>
HRESULT BasicMatrixObject<T>::ReorderRows(VARIANT* PermIndex) {
    VariantPermIndex index(PermIndex);
    return Result(corvane::ReorderRows(matrix_, PermIndex != nullptr ? &index : nullptr));
}

template <class T>
HRESULT BasicMatrixObject<T>::ReorderCols(VARIANT* PermIndex) {
    VariantPermIndex index(PermIndex);
    return Result(corvane::ReorderCols(matrix_, PermIndex != nullptr ? &index : nullptr));
}

template <class T>
HRESULT BasicMatrixObject<T>::Sorted(Sort sort, std::int32_t count, LONG index, ::SortOrderEnum order,
                                     VARIANT* PermIndex) {
    // The index array is made first, so that a sorted matrix always gets it.
    SAFEARRAY* array = nullptr;
    if (matrix_.sized())
        if (HRESULT hr = NewIndexArray(count, &array); FAILED(hr)) return Unreported(hr);
    Buffer<std::int32_t> entries;
    if (Status s = sort(matrix_, index, static_cast<std::int32_t>(order), &entries); !s) {
        if (array != nullptr) SafeArrayDestroy(array);
        return Result(s);
    }
    StoreIndex(array, entries, PermIndex);
    return S_OK;
}

template <class T>
HRESULT BasicMatrixObject<T>::SortRows(LONG ColIndex, ::SortOrderEnum SortOrder, VARIANT* PermIndex) {
    return Sorted(&corvane::SortRows<T>, matrix_.Rows(), ColIndex, SortOrder, PermIndex);
}

template <class T>
HRESULT BasicMatrixObject<T>::SortCols(LONG RowIndex, ::SortOrderEnum SortOrder, VARIANT* PermIndex) {
    return Sorted(&corvane::SortCols<T>, matrix_.Cols(), RowIndex, SortOrder, PermIndex);
}

template <class T>
HRESULT BasicMatrixObject<T>::TimesScalar(ValueIn Scalar, Interface** pVal) {
    return NewObject(pVal, [&](BasicMatrix<T>* result) {
        T scalar{};
        if (Status s = Traits::Read(Scalar, &scalar); !s) return s;
        return corvane::TimesScalar(matrix_, scalar, result);
    });
}

template <class T>
HRESULT BasicMatrixObject<T>::EigenC(ICMatrix** Eigenvalues, ICMatrix** Eigenvectors) {
    CMatrixArgument values(Eigenvalues), vectors(Eigenvectors);
    return Result(corvane::EigenC(matrix_, values.get(), vectors.get()));
}

template <class T>
HRESULT BasicMatrixObject<T>::get_Version(BSTR* pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    return Unreported(VersionString(pVal));
}

template class BasicMatrixObject<double>;
template class BasicMatrixObject<corvane::Complex>;

BasicMatrix<double>* OwnMatrix(IMatrix* object) { return MatrixObject::CoreOf(object); }
BasicMatrix<corvane::Complex>* OwnMatrix(ICMatrix* object) { return CMatrixObject::CoreOf(object); }

HRESULT MatrixObject::SVD(IMatrix** U, IMatrix** S, IMatrix** V) {
    MatrixArgument u(U), singular(S), v(V);
    return Result(corvane::SVD(matrix_, u.get(), singular.get(), v.get()));
}

HRESULT MatrixObject::Eigen(IMatrix** RealValues, IMatrix** ImagValues, IMatrix** RealVectors, IMatrix** ImagVectors) {
    MatrixArgument realValues(RealValues), imagValues(ImagValues), realVectors(RealVectors), imagVectors(ImagVectors);
    return Result(corvane::Eigen(matrix_, realValues.get(), imagValues.get(), realVectors.get(), imagVectors.get()));
}

HRESULT MatrixObject::ToCMatrix(ICMatrix** pVal) {
    if (HRESULT hr = ClearResult(pVal); FAILED(hr)) return hr;
    corvane::CMatrix result;
    if (Status s = corvane::ToCMatrix(matrix_, &result); !s) return Result(s);
    return Unreported(CMatrixObject::Create(std::move(result), pVal));
}

}  // namespace corvane::server
