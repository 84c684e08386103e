// The Matrix automation object: IMatrix over the core's matrix of
// doubles, with IDispatch, IProvideClassInfo and ISupportErrorInfo.
#pragma once

#include <utility>

#include "CorvaneMatrix30.h"
#include "core/complex.h"
#include "core/matrix.h"
#include "server/com_object.h"

namespace corvane::server {

class MatrixObject final : public ComObject<IMatrix, IProvideClassInfo, ISupportErrorInfo> {
public:
    explicit MatrixObject(IUnknown* outer) : ComObject(outer) {}

    // A new, unaggregated object holding data, handed out with one reference.
    static HRESULT Create(corvane::Matrix&& data, IMatrix** out);
    corvane::Matrix& data() { return matrix_; }

    // IDispatch, from the registered type library.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override;
    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override;
    // ISupportErrorInfo: S_OK for IMatrix only.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

    // IMatrix
    HRESULT STDMETHODCALLTYPE get_Item(LONG Row, LONG Col, double *pVal) override;
    HRESULT STDMETHODCALLTYPE put_Item(LONG Row, LONG Col, double newVal) override;
    HRESULT STDMETHODCALLTYPE get_Rows(LONG *pVal) override;
    HRESULT STDMETHODCALLTYPE put_Rows(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_Cols(LONG *pVal) override;
    HRESULT STDMETHODCALLTYPE put_Cols(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE Size(LONG Rows, LONG Cols) override;
    HRESULT STDMETHODCALLTYPE get_MaxSize(LONG *pVal) override;
    HRESULT STDMETHODCALLTYPE Clone(IMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE get_IsSquare(VARIANT_BOOL *pVal) override;
    HRESULT STDMETHODCALLTYPE Determinant(double *pVal) override;
    HRESULT STDMETHODCALLTYPE SwapRows(LONG Row1, LONG Row2) override;
    HRESULT STDMETHODCALLTYPE SwapCols(LONG Col1, LONG Col2) override;
    HRESULT STDMETHODCALLTYPE get_AsArray(SAFEARRAY **pVal) override;
    HRESULT STDMETHODCALLTYPE put_AsArray(SAFEARRAY **newVal) override;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE ColVector(LONG ColIndex, IMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE RowVector(LONG RowIndex, IMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE FillRandom(double LowLimit, double HighLimit, short NumDecimalPlaces) override;
    HRESULT STDMETHODCALLTYPE GetString(short NumDecimalPlaces, BSTR EndOfLineChars, BSTR *pVal) override;
    HRESULT STDMETHODCALLTYPE Inverse(IMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE IsEqualTo(IMatrix **Matrix2, double MaxDifference, VARIANT_BOOL *pVal) override;
    HRESULT STDMETHODCALLTYPE IsSymmetric(double MaxDifference, VARIANT_BOOL *pVal) override;
    HRESULT STDMETHODCALLTYPE LU(IMatrix **L, IMatrix **U, VARIANT *PermIndex, LONG *PermSign) override;
    HRESULT STDMETHODCALLTYPE Times(IMatrix **Matrix2, IMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE Minus(IMatrix **MatrixToSubtract, IMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE MinusEquals(IMatrix **MatrixToSubtract) override;
    HRESULT STDMETHODCALLTYPE Plus(IMatrix **MatrixToAdd, IMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE PlusEquals(IMatrix **MatrixToAdd) override;
    HRESULT STDMETHODCALLTYPE Normalize(double *NormValue, IMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE NormalizeMe(double *NormValue) override;
    HRESULT STDMETHODCALLTYPE Transpose(IMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE Solve(IMatrix **RightHandTerms, IMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE SolveGauss(IMatrix **RightHandTerms, IMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE QR(IMatrix **Q, IMatrix **R) override;
    HRESULT STDMETHODCALLTYPE Cholesky(IMatrix **L) override;
    HRESULT STDMETHODCALLTYPE ReorderRows(VARIANT *PermIndex) override;
    HRESULT STDMETHODCALLTYPE ReorderCols(VARIANT *PermIndex) override;
    HRESULT STDMETHODCALLTYPE SortRows(LONG ColIndex, ::SortOrderEnum SortOrder, VARIANT *PermIndex) override;
    HRESULT STDMETHODCALLTYPE SortCols(LONG RowIndex, ::SortOrderEnum SortOrder, VARIANT *PermIndex) override;
    HRESULT STDMETHODCALLTYPE SVD(IMatrix **U, IMatrix **S, IMatrix **V) override;
    HRESULT STDMETHODCALLTYPE TimesScalar(double Scalar, IMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE Eigen(IMatrix **RealValues, IMatrix **ImagValues, IMatrix **RealVectors, IMatrix **ImagVectors) override;
    HRESULT STDMETHODCALLTYPE EigenC(ICMatrix **Eigenvalues, ICMatrix **Eigenvectors) override;
    HRESULT STDMETHODCALLTYPE ToCMatrix(ICMatrix **pVal) override;
    HRESULT STDMETHODCALLTYPE get_Version(BSTR *pVal) override;

private:
    void* Find(REFIID iid) override;
    // A core outcome as this class reports it.
    static HRESULT Result(Status status);

    corvane::Matrix matrix_;
};

// The object maker of the class table.
HRESULT MakeMatrixObject(IUnknown* outer, REFIID iid, void** out);

}  // namespace corvane::server
