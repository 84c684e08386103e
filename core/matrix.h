// The real matrix object: a dense matrix of doubles.
#pragma once

#include "core/basic_matrix.h"

namespace corvane {

using Matrix = BasicMatrix<double>;
using MatrixIn = MatrixReader<double>;
using MatrixOut = MatrixWriter<double>;

}  // namespace corvane
