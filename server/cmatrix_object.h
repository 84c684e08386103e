// The CMatrix automation object: ICMatrix over the core's matrix of
// Complex values, with IDispatch, IProvideClassInfo and ISupportErrorInfo.
#pragma once

#include <utility>

#include "CorvaneMatrix30.h"
#include "core/complex.h"
#include "core/basic_matrix.h"
#include "server/com_object.h"

namespace corvane::server {

using ComplexMatrix = BasicMatrix<corvane::Complex>;
class CMatrixObject final : public ComObject<ICMatrix, IProvideClassInfo, ISupportErrorInfo> {
public:
    explicit CMatrixObject(IUnknown* outer) : ComObject(outer) {}

    // A new, unaggregated object holding data, handed out with one reference.
    static HRESULT Create(ComplexMatrix&& data, ICMatrix** out);
    ComplexMatrix& data() { return matrix_; }

    // IDispatch, from the registered type library.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override;
    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override;
    // ISupportErrorInfo: S_OK for ICMatrix only.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

    // ICMatrix
    HRESULT STDMETHODCALLTYPE get_Item(LONG Row, LONG Col, ::Complex *pVal) override;
    HRESULT STDMETHODCALLTYPE put_Item(LONG Row, LONG Col, ::Complex *newVal) override;
    HRESULT STDMETHODCALLTYPE get_Rows(LONG *pVal) override;
    HRESULT STDMETHODCALLTYPE put_Rows(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_Cols(LONG *pVal) override;
    HRESULT STDMETHODCALLTYPE put_Cols(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE Size(LONG Rows, LONG Cols) override;
    HRESULT STDMETHODCALLTYPE get_MaxSize(LONG *pVal) override;
    HRESULT STDMETHODCALLTYPE Clone(ICMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE get_IsSquare(VARIANT_BOOL *pVal) override;
    HRESULT STDMETHODCALLTYPE Determinant(::Complex *pVal) override;
    HRESULT STDMETHODCALLTYPE SwapRows(LONG Row1, LONG Row2) override;
    HRESULT STDMETHODCALLTYPE SwapCols(LONG Col1, LONG Col2) override;
    HRESULT STDMETHODCALLTYPE get_AsArrayR(SAFEARRAY **pVal) override;
    HRESULT STDMETHODCALLTYPE put_AsArrayR(SAFEARRAY **newVal) override;
    HRESULT STDMETHODCALLTYPE get_AsArrayI(SAFEARRAY **pVal) override;
    HRESULT STDMETHODCALLTYPE put_AsArrayI(SAFEARRAY **newVal) override;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE ColVector(LONG ColIndex, ICMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE RowVector(LONG RowIndex, ICMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE FillRandom(double LowLimit, double HighLimit, short NumDecimalPlaces) override;
    HRESULT STDMETHODCALLTYPE GetString(short NumDecimalPlaces, BSTR EndOfLineChars, BSTR *pVal) override;
    HRESULT STDMETHODCALLTYPE Inverse(ICMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE IsEqualTo(ICMatrix **CMatrix2, double MaxDifference, VARIANT_BOOL *pVal) override;
    HRESULT STDMETHODCALLTYPE IsSymmetric(double MaxDifference, VARIANT_BOOL *pVal) override;
    HRESULT STDMETHODCALLTYPE LU(ICMatrix **L, ICMatrix **U, VARIANT *PermIndex, LONG *PermSign) override;
    HRESULT STDMETHODCALLTYPE Times(ICMatrix **CMatrix2, ICMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE Minus(ICMatrix **CMatrixToSubtract, ICMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE MinusEquals(ICMatrix **CMatrixToSubtract) override;
    HRESULT STDMETHODCALLTYPE Plus(ICMatrix **CMatrixToAdd, ICMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE PlusEquals(ICMatrix **CMatrixToAdd) override;
    HRESULT STDMETHODCALLTYPE Normalize(double *NormValue, ICMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE NormalizeMe(double *NormValue) override;
    HRESULT STDMETHODCALLTYPE Transpose(ICMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE Solve(ICMatrix **RightHandTerms, ICMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE SolveGauss(ICMatrix **RightHandTerms, ICMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE QR(ICMatrix **Q, ICMatrix **R) override;
    HRESULT STDMETHODCALLTYPE Cholesky(ICMatrix **L) override;
    HRESULT STDMETHODCALLTYPE ReorderRows(VARIANT *PermIndex) override;
    HRESULT STDMETHODCALLTYPE ReorderCols(VARIANT *PermIndex) override;
    HRESULT STDMETHODCALLTYPE SortRows(LONG ColIndex, ::SortOrderEnum SortOrder, VARIANT *PermIndex) override;
    HRESULT STDMETHODCALLTYPE SortCols(LONG RowIndex, ::SortOrderEnum SortOrder, VARIANT *PermIndex) override;
    HRESULT STDMETHODCALLTYPE TimesScalar(::Complex *Scalar, ICMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE EigenC(ICMatrix **Eigenvalues, ICMatrix **Eigenvectors) override;
    HRESULT STDMETHODCALLTYPE get_Version(BSTR *pVal) override;

private:
    void* Find(REFIID iid) override;
    // A core outcome as this class reports it.
    static HRESULT Result(Status status);

    ComplexMatrix matrix_;
};

// The object maker of the class table.
HRESULT MakeCMatrixObject(IUnknown* outer, REFIID iid, void** out);

}  // namespace corvane::server
