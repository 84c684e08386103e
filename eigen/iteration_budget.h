// The iteration budget every iterative eigen kernel takes: a negative value
// (the default) means the routine's own budget, a non-negative one replaces it
// (tests pass a small one to exhaust it).
#pragma once

#include <cstdint>

namespace corvane {

inline constexpr std::int64_t kOwnBudget = -1;

inline std::int64_t BudgetOr(std::int64_t budget, std::int64_t own) { return budget >= 0 ? budget : own; }

}  // namespace corvane
