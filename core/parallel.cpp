#include "core/parallel.h"

#include <atomic>
#include <cstdlib>

namespace corvane {
namespace {

// A product must hold this many multiply-adds per part (a few milliseconds'
// work), and each part this many columns, before a thread is started for it.
std::atomic<std::int64_t> minPartWork{std::int64_t{1} << 27};
constexpr std::int64_t kMinPartColumns = 64;

int ReadThreadLimit() noexcept {
    if (const char* text = std::getenv("CORVANEMATRIX_THREADS")) {
        char* end = nullptr;
        const long n = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && n >= 1 && n <= kMaxThreads) return static_cast<int>(n);
    }
    const unsigned processors = std::thread::hardware_concurrency();
    return processors < 1 ? 1 : processors > kMaxThreads ? kMaxThreads : static_cast<int>(processors);
}

}  // namespace

int ThreadLimit() noexcept {
    static const int limit = ReadThreadLimit();
    return limit;
}

int ProductParts(std::int64_t m, std::int64_t p, std::int64_t q, std::int64_t unit) noexcept {
    if (m < 1 || p < 1 || q < 1 || unit < 1) return 1;
    std::int64_t parts = ThreadLimit();
    const double work = static_cast<double>(m) * static_cast<double>(p) * static_cast<double>(q);
    const double partWork = static_cast<double>(minPartWork.load(std::memory_order_relaxed));
    if (work < static_cast<double>(parts) * partWork) parts = static_cast<std::int64_t>(work / partWork);
    if (const std::int64_t byColumns = q / (kMinPartColumns > unit ? kMinPartColumns : unit); byColumns < parts)
        parts = byColumns;
    return parts < 1 ? 1 : static_cast<int>(parts);
}

void SetSplitWork(std::int64_t work) noexcept { minPartWork.store(work < 1 ? 1 : work, std::memory_order_relaxed); }

ColumnRange PartColumns(int part, int parts, std::int64_t q, std::int64_t unit) noexcept {
    const std::int64_t units = (q + unit - 1) / unit;
    const std::int64_t first = units * part / parts * unit, last = units * (part + 1) / parts * unit;
    return {first < q ? first : q, last < q ? last : q};
}

std::int64_t WidestPart(int parts, std::int64_t q, std::int64_t unit) noexcept {
    const std::int64_t units = (q + unit - 1) / unit, widest = (units + parts - 1) / parts * unit;
    return widest < q ? widest : q;
}

}  // namespace corvane
