// The Matrix and CMatrix automation objects: IMatrix over the core's matrix
// of doubles and ICMatrix over its matrix of Complex values. One template
// serves both; MatrixObjectTraits holds what differs by element type, and
// each final class adds the members only its interface has.
#pragma once

#include <atomic>
#include <cstdint>

#include "CorvaneMatrix30.h"
#include "core/array_conversion.h"
#include "core/basic_matrix.h"
#include "core/buffer.h"
#include "core/complex.h"
#include "server/adapters.h"
#include "server/com_object.h"
#include "server/error_record.h"

namespace corvane::server {

class MatrixObject;
class CMatrixObject;

template <class T>
struct MatrixObjectTraits;

template <>
struct MatrixObjectTraits<double> {
    using Interface = IMatrix;
    using Object = MatrixObject;
    using Argument = MatrixArgument;
    using Value = double;    // what an Item get and Determinant write
    using ValueIn = double;  // what an Item put and TimesScalar take
    static constexpr const IID& kInterfaceId = IID_IMatrix;
    static constexpr const CLSID& kClassId = CLSID_Matrix;
    // The core's value of an argument, and the result record of a core value.
    static Status Read(double in, double* value) {
        *value = in;
        return Status::Ok();
    }
    static void Write(double value, double* out) { *out = value; }
};

template <>
struct MatrixObjectTraits<corvane::Complex> {
    using Interface = ICMatrix;
    using Object = CMatrixObject;
    using Argument = CMatrixArgument;
    using Value = ::Complex;
    using ValueIn = ::Complex*;  // the record by reference; null is E_POINTER
    static constexpr const IID& kInterfaceId = IID_ICMatrix;
    static constexpr const CLSID& kClassId = CLSID_CMatrix;
    static Status Read(const ::Complex* in, corvane::Complex* value) {
        if (in == nullptr) return Status::NullPointer();
        *value = corvane::Complex{in->Real, in->Imag};
        return Status::Ok();
    }
    static void Write(const corvane::Complex& value, ::Complex* out) {
        out->Real = value.Real;
        out->Imag = value.Imag;
    }
};

template <class T>
using MatrixObjectBase = ReportingObject<typename MatrixObjectTraits<T>::Interface, MatrixObjectTraits<T>::kInterfaceId,
                                         MatrixObjectTraits<T>::kClassId>;

template <class T>
class BasicMatrixObject : public MatrixObjectBase<T> {
    using Traits = MatrixObjectTraits<T>;
    using Interface = typename Traits::Interface;
    using ValueIn = typename Traits::ValueIn;
    using Value = typename Traits::Value;

public:
    // A new, unaggregated object holding data, handed out with one reference.
    static HRESULT Create(BasicMatrix<T>&& data, Interface** out);

    // The core matrix behind object when it is this class's own interface
    // (known by its table of members), else null.
    static BasicMatrix<T>* CoreOf(Interface* object) {
        const void* table = *reinterpret_cast<const void* const*>(object);
        if (table == nullptr || table != ownTable_.load(std::memory_order_relaxed)) return nullptr;
        return &static_cast<BasicMatrixObject*>(object)->matrix_;
    }

    HRESULT STDMETHODCALLTYPE get_Item(LONG Row, LONG Col, Value* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Item(LONG Row, LONG Col, ValueIn newVal) override;
    HRESULT STDMETHODCALLTYPE get_Rows(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Rows(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_Cols(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Cols(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE Size(LONG Rows, LONG Cols) override;
    HRESULT STDMETHODCALLTYPE get_MaxSize(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE Clone(Interface** pVal) override;
    HRESULT STDMETHODCALLTYPE get_IsSquare(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE Determinant(Value* pVal) override;
    HRESULT STDMETHODCALLTYPE SwapRows(LONG Row1, LONG Row2) override;
    HRESULT STDMETHODCALLTYPE SwapCols(LONG Col1, LONG Col2) override;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE ColVector(LONG ColIndex, Interface** pVal) override;
    HRESULT STDMETHODCALLTYPE RowVector(LONG RowIndex, Interface** pVal) override;
    HRESULT STDMETHODCALLTYPE FillRandom(double LowLimit, double HighLimit, short NumDecimalPlaces) override;
    HRESULT STDMETHODCALLTYPE GetString(short NumDecimalPlaces, BSTR EndOfLineChars, BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE Inverse(Interface** pVal) override;
    HRESULT STDMETHODCALLTYPE IsEqualTo(Interface** Other, double MaxDifference, VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE IsSymmetric(double MaxDifference, VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE LU(Interface** L, Interface** U, VARIANT* PermIndex, LONG* PermSign) override;
    HRESULT STDMETHODCALLTYPE Times(Interface** Other, Interface** pVal) override;
    HRESULT STDMETHODCALLTYPE Minus(Interface** ToSubtract, Interface** pVal) override;
    HRESULT STDMETHODCALLTYPE MinusEquals(Interface** ToSubtract) override;
    HRESULT STDMETHODCALLTYPE Plus(Interface** ToAdd, Interface** pVal) override;
    HRESULT STDMETHODCALLTYPE PlusEquals(Interface** ToAdd) override;
    HRESULT STDMETHODCALLTYPE Normalize(double* NormValue, Interface** pVal) override;
    HRESULT STDMETHODCALLTYPE NormalizeMe(double* NormValue) override;
    HRESULT STDMETHODCALLTYPE Transpose(Interface** pVal) override;
    HRESULT STDMETHODCALLTYPE Solve(Interface** RightHandTerms, Interface** pVal) override;
    HRESULT STDMETHODCALLTYPE SolveGauss(Interface** RightHandTerms, Interface** pVal) override;
    HRESULT STDMETHODCALLTYPE QR(Interface** Q, Interface** R) override;
    HRESULT STDMETHODCALLTYPE Cholesky(Interface** L) override;
    HRESULT STDMETHODCALLTYPE ReorderRows(VARIANT* PermIndex) override;
    HRESULT STDMETHODCALLTYPE ReorderCols(VARIANT* PermIndex) override;
    HRESULT STDMETHODCALLTYPE SortRows(LONG ColIndex, ::SortOrderEnum SortOrder, VARIANT* PermIndex) override;
    HRESULT STDMETHODCALLTYPE SortCols(LONG RowIndex, ::SortOrderEnum SortOrder, VARIANT* PermIndex) override;
    HRESULT STDMETHODCALLTYPE TimesScalar(ValueIn Scalar, Interface** pVal) override;
    HRESULT STDMETHODCALLTYPE EigenC(ICMatrix** Eigenvalues, ICMatrix** Eigenvectors) override;
    HRESULT STDMETHODCALLTYPE get_Version(BSTR* pVal) override;

protected:
    explicit BasicMatrixObject(IUnknown* outer) : MatrixObjectBase<T>(outer) {}
    // Called by the final class's constructor, when the object's interface
    // carries the final table of members.
    void RecordOwnTable() {
        ownTable_.store(*reinterpret_cast<const void* const*>(static_cast<Interface*>(this)),
                        std::memory_order_relaxed);
    }

    // A core outcome as this class reports it.
    static HRESULT Result(Status status) { return ToResult(Traits::kClassId, status); }
    // The array properties: a new array of the matrix through get, or the
    // matrix from the caller's array through put.
    HRESULT GetArray(Status (*get)(const BasicMatrix<T>&, ArraySink*), SAFEARRAY** pVal);
    HRESULT PutArray(Status (*put)(BasicMatrix<T>&, const ArraySource*), SAFEARRAY** newVal);

    BasicMatrix<T> matrix_;

private:
    // A member whose result is a new object of this class: the result pointer
    // is cleared, then make fills the new matrix.
    template <class Make>
    HRESULT NewObject(Interface** pVal, Make make);
    using Sort = Status (*)(BasicMatrix<T>&, std::int32_t, std::int32_t, Buffer<std::int32_t>*);
    HRESULT Sorted(Sort sort, std::int32_t count, LONG index, ::SortOrderEnum order, VARIANT* PermIndex);

    static inline std::atomic<const void*> ownTable_{nullptr};
};

extern template class BasicMatrixObject<double>;
extern template class BasicMatrixObject<corvane::Complex>;

class MatrixObject final : public BasicMatrixObject<double> {
public:
    explicit MatrixObject(IUnknown* outer) : BasicMatrixObject(outer) { RecordOwnTable(); }

    HRESULT STDMETHODCALLTYPE get_AsArray(SAFEARRAY** pVal) override { return GetArray(&AsArray, pVal); }
    HRESULT STDMETHODCALLTYPE put_AsArray(SAFEARRAY** newVal) override { return PutArray(&PutAsArray, newVal); }
    HRESULT STDMETHODCALLTYPE SVD(IMatrix** U, IMatrix** S, IMatrix** V) override;
    HRESULT STDMETHODCALLTYPE Eigen(IMatrix** RealValues, IMatrix** ImagValues, IMatrix** RealVectors,
                                    IMatrix** ImagVectors) override;
    HRESULT STDMETHODCALLTYPE ToCMatrix(ICMatrix** pVal) override;
};

class CMatrixObject final : public BasicMatrixObject<corvane::Complex> {
public:
    explicit CMatrixObject(IUnknown* outer) : BasicMatrixObject(outer) { RecordOwnTable(); }

    HRESULT STDMETHODCALLTYPE get_AsArrayR(SAFEARRAY** pVal) override { return GetArray(&AsArrayR, pVal); }
    HRESULT STDMETHODCALLTYPE put_AsArrayR(SAFEARRAY** newVal) override { return PutArray(&PutAsArrayR, newVal); }
    HRESULT STDMETHODCALLTYPE get_AsArrayI(SAFEARRAY** pVal) override { return GetArray(&AsArrayI, pVal); }
    HRESULT STDMETHODCALLTYPE put_AsArrayI(SAFEARRAY** newVal) override { return PutArray(&PutAsArrayI, newVal); }
};

}  // namespace corvane::server
