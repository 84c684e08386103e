#include "eigen/eigen_order.h"

#include <algorithm>
#include <cmath>

namespace corvane {

void EigenOrder(std::int32_t n, const double* wr, const double* wi, EigenOrderRecord* records) {
    for (std::int32_t k = 0; k < n; ++k) records[k] = {std::sqrt(wr[k] * wr[k] + wi[k] * wi[k]), k};
    std::sort(records, records + n, [](const EigenOrderRecord& p, const EigenOrderRecord& q) {
        const bool pNaN = std::isnan(p.modulus), qNaN = std::isnan(q.modulus);
        if (pNaN != qNaN) return qNaN;
        if (!pNaN) {
            if (p.modulus > q.modulus) return true;
            if (p.modulus < q.modulus) return false;
        }
        return p.index < q.index;
    });
}

}  // namespace corvane
