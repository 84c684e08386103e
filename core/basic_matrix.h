// The matrix object's storage and its element-level operations, shared by the
// real (double) and complex (Complex) matrices.
#pragma once

#include <cstdint>
#include <cstring>
#include <utility>

#include "core/errors.h"
#include "core/matrix_interfaces.h"
#include "core/row_store.h"

namespace corvane {

// Largest valid row or column count.
inline constexpr std::int32_t kMaxSize = 2147483647;

template <class T>
class BasicMatrix final : public MatrixReader<T>, public MatrixWriter<T> {
public:
    using Element = T;

    BasicMatrix() = default;
    BasicMatrix(const BasicMatrix&) = delete;
    BasicMatrix& operator=(const BasicMatrix&) = delete;
    BasicMatrix(BasicMatrix&& other) noexcept { swap(other); }
    BasicMatrix& operator=(BasicMatrix&& other) noexcept {
        BasicMatrix(std::move(other)).swap(*this);
        return *this;
    }
    ~BasicMatrix() = default;

    // Counts: 0 until given.
    std::int32_t Rows() const override { return lastRow + 1; }
    std::int32_t Cols() const override { return lastCol + 1; }
    static constexpr std::int32_t MaxSize() { return kMaxSize; }

    Status PutRows(std::int32_t rows) {
        if (rows < 1 || rows > kMaxSize) return kInvalidRows;
        if (colsGiven) return Size(rows, lastCol + 1);
        lastRow = rows - 1;
        rowsGiven = true;
        return Status::Ok();
    }

    Status PutCols(std::int32_t cols) {
        if (cols < 1 || cols > kMaxSize) return kInvalidCols;
        if (rowsGiven) return Size(lastRow + 1, cols);
        lastCol = cols - 1;
        colsGiven = true;
        return Status::Ok();
    }

    // Sizes an unsized matrix with zeros, or resizes keeping the top-left
    // block common to both shapes. The new store is complete before the old
    // one is freed, so a failure leaves everything as it was. The same shape
    // again keeps the store as it is (outputs reused call after call).
    Status Size(std::int32_t rows, std::int32_t cols) override {
        if (rows < 1 || rows > kMaxSize) return kInvalidRows;
        if (cols < 1 || cols > kMaxSize) return kInvalidCols;
        if (sized() && rows == Rows() && cols == Cols()) return Status::Ok();
        RowStore<T> fresh;
        if (!fresh.Allocate(rows, cols)) return Status::OutOfMemory();
        if (sized()) {
            const std::int32_t keepRows = rows < Rows() ? rows : Rows();
            const std::size_t keepBytes = static_cast<std::size_t>(cols < Cols() ? cols : Cols()) * sizeof(T);
            for (std::int32_t i = 0; i < keepRows; ++i) std::memcpy(fresh[i], rowData[i], keepBytes);
        }
        rowData.swap(fresh);
        lastRow = rows - 1;
        lastCol = cols - 1;
        rowBytes = static_cast<std::uint32_t>(static_cast<std::uint64_t>(cols) * sizeof(T));
        rowsGiven = colsGiven = true;
        return Status::Ok();
    }

    Status Item(std::int32_t row, std::int32_t col, T* value) const override {
        if (Status s = CheckIndexes(row, col); !s) return s;
        *value = rowData[row][col];
        return Status::Ok();
    }

    Status PutItem(std::int32_t row, std::int32_t col, const T& value) override {
        if (Status s = CheckIndexes(row, col); !s) return s;
        rowData[row][col] = value;
        return Status::Ok();
    }

    Status IsSquare(bool* square) const {
        if (!sized()) return kNotSized;
        *square = lastRow == lastCol;
        return Status::Ok();
    }

    // Every element becomes zero bytes (+0.0); the shape stays.
    Status Clear() override {
        if (!sized()) return kNotSized;
        for (std::int32_t i = 0; i <= lastRow; ++i) std::memset(rowData[i], 0, rowBytes);
        return Status::Ok();
    }

    // An unsized matrix clones to a new unsized one; counts given alone are
    // not carried over.
    Status Clone(BasicMatrix* out) const {
        BasicMatrix copy;
        if (sized()) {
            if (Status s = copy.Size(Rows(), Cols()); !s) return s;
            for (std::int32_t i = 0; i <= lastRow; ++i) std::memcpy(copy.rowData[i], rowData[i], rowBytes);
        }
        *out = std::move(copy);
        return Status::Ok();
    }

    Status SwapRows(std::int32_t row1, std::int32_t row2) {
        if (!sized()) return kNotSized;
        if (!ValidRow(row1) || !ValidRow(row2)) return kRowIndex;
        // Exchanging the row blocks exchanges every element of the two rows.
        std::swap(rowData.data()[row1], rowData.data()[row2]);
        return Status::Ok();
    }

    Status SwapCols(std::int32_t col1, std::int32_t col2) {
        if (!sized()) return kNotSized;
        if (!ValidCol(col1) || !ValidCol(col2)) return kColIndex;
        if (col1 == col2) return Status::Ok();
        for (std::int32_t i = 0; i <= lastRow; ++i) std::swap(rowData[i][col1], rowData[i][col2]);
        return Status::Ok();
    }

    // The index is tested before the sized test: an object without a column
    // count fails every index with the column message.
    Status ColVector(std::int32_t col, BasicMatrix* out) const {
        if (!ValidCol(col)) return kColIndex;
        if (!sized()) return kNotSized;
        BasicMatrix v;
        if (Status s = v.Size(Rows(), 1); !s) return s;
        for (std::int32_t i = 0; i <= lastRow; ++i) v.rowData[i][0] = rowData[i][col];
        *out = std::move(v);
        return Status::Ok();
    }

    Status RowVector(std::int32_t row, BasicMatrix* out) const {
        if (!ValidRow(row)) return kRowIndex;
        if (!sized()) return kNotSized;
        BasicMatrix v;
        if (Status s = v.Size(1, Cols()); !s) return s;
        std::memcpy(v.rowData[0], rowData[row], rowBytes);
        *out = std::move(v);
        return Status::Ok();
    }

    // Direct access for the operations and kernels of this library. Valid
    // only while sized; indexes unchecked.
    bool sized() const { return static_cast<bool>(rowData); }
    T* const* rows() const { return rowData.data(); }
    T& at(std::int32_t row, std::int32_t col) const { return rowData[row][col]; }
    std::uint32_t RowBytes() const { return rowBytes; }

    void swap(BasicMatrix& other) noexcept {
        std::swap(rowsGiven, other.rowsGiven);
        std::swap(colsGiven, other.colsGiven);
        rowData.swap(other.rowData);
        std::swap(lastRow, other.lastRow);
        std::swap(lastCol, other.lastCol);
        std::swap(rowBytes, other.rowBytes);
    }

private:
    bool ValidRow(std::int32_t row) const { return row >= 0 && row <= lastRow; }
    bool ValidCol(std::int32_t col) const { return col >= 0 && col <= lastCol; }

    // Unsized first, then the row index, then the column index.
    Status CheckIndexes(std::int32_t row, std::int32_t col) const {
        if (!sized()) return kNotSized;
        if (!ValidRow(row)) return kRowIndex;
        if (!ValidCol(col)) return kColIndex;
        return Status::Ok();
    }

    bool rowsGiven = false;  // set once a row count has been given
    bool colsGiven = false;  // set once a column count has been given
    RowStore<T> rowData;     // null while unsized
    std::int32_t lastRow = -1;
    std::int32_t lastCol = -1;
    // Bytes of one row; set with the storage, since a column count given
    // alone may be too large for a 32-bit row size and is only checked then.
    std::uint32_t rowBytes = 0;
};

}  // namespace corvane
