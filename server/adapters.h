// Any IMatrix or ICMatrix implementation seen through the core's reader and
// writer interfaces: shape and elements through the object's own Rows, Cols,
// Item get, and Size, Item put, Clear.
#pragma once

#include <type_traits>

#include "CorvaneMatrix30.h"
#include "core/basic_matrix.h"
#include "core/complex.h"
#include "core/matrix_interfaces.h"

namespace corvane::server {

// A failed call of the foreign object becomes that result code.
inline Status FromResult(HRESULT hr) { return SUCCEEDED(hr) ? Status::Ok() : Status::Platform(hr); }

class MatrixAdapter final : public MatrixReader<double>, public MatrixWriter<double> {
public:
    explicit MatrixAdapter(IMatrix* object) : object_(object) {}
    bool bound() const { return object_ != nullptr; }
    std::int32_t Rows() const override;
    std::int32_t Cols() const override;
    Status Item(std::int32_t row, std::int32_t col, double* value) const override;
    Status Size(std::int32_t rows, std::int32_t cols) override;
    Status PutItem(std::int32_t row, std::int32_t col, const double& value) override;
    Status Clear() override;

private:
    IMatrix* object_;  // borrowed for the call
};

class CMatrixAdapter final : public MatrixReader<corvane::Complex>, public MatrixWriter<corvane::Complex> {
public:
    explicit CMatrixAdapter(ICMatrix* object) : object_(object) {}
    bool bound() const { return object_ != nullptr; }
    std::int32_t Rows() const override;
    std::int32_t Cols() const override;
    Status Item(std::int32_t row, std::int32_t col, corvane::Complex* value) const override;
    Status Size(std::int32_t rows, std::int32_t cols) override;
    Status PutItem(std::int32_t row, std::int32_t col, const corvane::Complex& value) override;
    Status Clear() override;

private:
    ICMatrix* object_;
};

// The core matrix of one of this server's own objects reached directly (the
// pointer is that object's own interface, not a proxy or another
// implementation), else null. Each member of the object does to its core
// matrix what the core's own member does, so the core may read and fill that
// matrix in place.
BasicMatrix<double>* OwnMatrix(IMatrix* object);
BasicMatrix<corvane::Complex>* OwnMatrix(ICMatrix* object);

// An operand as the core's functions take it: a reader or a writer, null when
// missing.
template <class T>
class Operand {
public:
    Operand(MatrixReader<T>* reader, MatrixWriter<T>* writer) : reader_(reader), writer_(writer) {}
    operator MatrixReader<T>*() const { return reader_; }
    operator MatrixWriter<T>*() const { return writer_; }

private:
    MatrixReader<T>* reader_;
    MatrixWriter<T>* writer_;
};

// An object argument passed by reference (IMatrix** or ICMatrix**) as the core
// sees it: null when the reference or the object is missing; the core matrix
// itself for one of our own objects; otherwise the adapter, member by member.
template <class Adapter, class Interface>
class ObjectArgument {
    using T = typename std::remove_pointer_t<decltype(OwnMatrix(static_cast<Interface*>(nullptr)))>::Element;

public:
    explicit ObjectArgument(Interface** arg)
        : adapter_(arg != nullptr ? *arg : nullptr), own_(adapter_.bound() ? OwnMatrix(*arg) : nullptr) {}
    Operand<T> get() {
        if (own_ != nullptr) return {own_, own_};
        return adapter_.bound() ? Operand<T>{&adapter_, &adapter_} : Operand<T>{nullptr, nullptr};
    }

private:
    Adapter adapter_;
    BasicMatrix<T>* own_;
};
using MatrixArgument = ObjectArgument<MatrixAdapter, IMatrix>;
using CMatrixArgument = ObjectArgument<CMatrixAdapter, ICMatrix>;

}  // namespace corvane::server
