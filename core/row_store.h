// A row-pointer array with one separately allocated, zero-filled block per
// row: the storage of every matrix object and the work arrays of the kernels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "core/allocation.h"

namespace corvane {

// Owns rows × cols elements of T. Empty (null) until Allocate succeeds.
template <class T>
class RowStore {
public:
    RowStore() = default;
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;
    RowStore(RowStore&& other) noexcept { swap(other); }
    RowStore& operator=(RowStore&& other) noexcept {
        RowStore(std::move(other)).swap(*this);
        return *this;
    }
    ~RowStore() { Reset(); }

    // Allocates a zero-filled rows × cols array; false (and nothing held) when
    // the sizes overflow or memory cannot be obtained.
    [[nodiscard]] bool Allocate(std::int64_t rows, std::int64_t cols) noexcept {
        return AllocateRows(rows, cols, AllocateZeroed);
    }
    // The same with the rows' contents undefined, for a copy that fills them.
    [[nodiscard]] bool AllocateUnfilled(std::int64_t rows, std::int64_t cols) noexcept {
        return AllocateRows(rows, cols, corvane::AllocateUnfilled);
    }

    // Whether one row of `cols` elements has a byte count that fits the
    // 32-bit row size and the address space.
    static constexpr bool RowBytesFit(std::int64_t cols) {
        return cols >= 1 && static_cast<std::uint64_t>(cols) <= UINT32_MAX / sizeof(T) &&
               static_cast<std::uint64_t>(cols) <= PTRDIFF_MAX / sizeof(T);
    }

    void Reset() noexcept {
        if (data_ != nullptr) {
            for (std::int64_t i = 0; i < rows_; ++i) Release(data_[i]);
            Release(data_);
        }
        data_ = nullptr;
        rows_ = cols_ = 0;
    }

    void swap(RowStore& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(rows_, other.rows_);
        std::swap(cols_, other.cols_);
    }

    T** data() const noexcept { return data_; }
    T* operator[](std::int64_t i) const noexcept { return data_[i]; }
    std::int64_t rows() const noexcept { return rows_; }
    std::int64_t cols() const noexcept { return cols_; }
    explicit operator bool() const noexcept { return data_ != nullptr; }

private:
    [[nodiscard]] bool AllocateRows(std::int64_t rows, std::int64_t cols,
                                    void* (*allocateRow)(std::size_t, std::size_t) noexcept) noexcept {
        Reset();
        if (rows < 1 || cols < 1 || !RowBytesFit(cols)) return false;
        if (static_cast<std::uint64_t>(rows) > PTRDIFF_MAX / sizeof(T*)) return false;
        // The pointer array and every row block, checked as a whole before
        // the first block is taken.
        const std::uint64_t pointerBytes = HeapBytes(1, static_cast<std::uint64_t>(rows) * sizeof(T*));
        const std::uint64_t blockBytes =
            HeapBytes(static_cast<std::uint64_t>(rows), static_cast<std::uint64_t>(cols) * sizeof(T));
        if (blockBytes > UINT64_MAX - pointerBytes || !StorageFits(pointerBytes + blockBytes)) return false;
        auto** array = static_cast<T**>(AllocateZeroed(static_cast<std::size_t>(rows), sizeof(T*)));
        if (array == nullptr) return false;
        data_ = array;
        for (std::int64_t i = 0; i < rows; ++i) {
            array[i] = static_cast<T*>(allocateRow(static_cast<std::size_t>(cols), sizeof(T)));
            if (array[i] == nullptr) {
                rows_ = i;  // free what was obtained
                Reset();
                return false;
            }
        }
        rows_ = rows;
        cols_ = cols;
        return true;
    }

    T** data_ = nullptr;
    std::int64_t rows_ = 0;
    std::int64_t cols_ = 0;
};

}  // namespace corvane
