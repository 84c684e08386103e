// Independent parts of one operation run on several threads at once. Only the
// largest products are split, by columns of the result: every element is
// still formed by one thread in its own order, so the bits do not depend on
// the number of threads.
#pragma once

#include <cstdint>
#include <thread>

#include "core/buffer.h"

namespace corvane {

constexpr int kMaxThreads = 16;

// The threads an operation may use: the environment variable
// CORVANEMATRIX_THREADS when it holds a number from 1 to kMaxThreads (1 turns
// the splitting off), otherwise the processors the system reports, at most
// kMaxThreads. Read once per process.
int ThreadLimit() noexcept;

// Into how many column ranges of whole `unit`-column tiles to split a product
// of m × p by p × q: 1 for a product too small to repay starting a thread.
int ProductParts(std::int64_t m, std::int64_t p, std::int64_t q, std::int64_t unit) noexcept;

// The multiply-adds each part must hold. The default repays starting threads
// even where that is slow (over a millisecond under Wine); the result digest
// lowers it so that its small matrices take the split paths too.
void SetSplitWork(std::int64_t work) noexcept;

// Columns [first, last) of part `part` out of `parts`, each a whole number of
// units except the last.
struct ColumnRange {
    std::int64_t first, last;
};
ColumnRange PartColumns(int part, int parts, std::int64_t q, std::int64_t unit) noexcept;
// The columns of the widest part: what one part's packing blocks must hold.
std::int64_t WidestPart(int parts, std::int64_t q, std::int64_t unit) noexcept;

// Runs work(0), …, work(parts − 1), part 0 on the calling thread, and returns
// when all have finished. A part whose thread cannot be started runs on the
// calling thread instead.
template <class Work>
void RunParts(int parts, const Work& work) noexcept {
    std::thread threads[kMaxThreads];
    for (int t = 1; t < parts && t < kMaxThreads; ++t) {
        try {
            threads[t] = std::thread([&work, t] { work(t); });
        } catch (...) {
            work(t);
        }
    }
    work(0);
    for (std::thread& thread : threads)
        if (thread.joinable()) thread.join();
}

// Runs work(t, storage) for t = 0, …, parts − 1 as RunParts does, each part
// with `each` doubles of packing storage of its own; part 0 takes `given`
// instead when it is not null. Every part's storage is obtained before any
// part starts: false, with nothing run, when it cannot be.
template <class Work>
[[nodiscard]] bool RunPartsWithStorage(int parts, std::int64_t each, double* given, const Work& work) noexcept {
    Buffer<double> own[kMaxThreads];
    double* storage[kMaxThreads];
    for (int t = 0; t < parts && t < kMaxThreads; ++t) {
        if (t == 0 && given != nullptr) {
            storage[t] = given;
            continue;
        }
        if (!own[t].Allocate(each)) return false;
        storage[t] = own[t].data();
    }
    RunParts(parts, [&](int t) { work(t, storage[t]); });
    return true;
}

}  // namespace corvane
