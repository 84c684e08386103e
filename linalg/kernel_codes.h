// Integer outcomes of the decomposition kernels (row-pointer arrays in,
// a code out); the operations turn them into catalogue messages.
#pragma once

namespace corvane {

enum KernelCode : int {
    kKernelOk = 0,
    kKernelSingular = 1,  // an all-zero row, or an exhausted pivot column
    kKernelNotPositiveDefinite = 2,
    kKernelNoConvergence = 3,
};

}  // namespace corvane
