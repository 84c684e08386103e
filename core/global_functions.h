// The complex functions of the Global object (CAdd, CSub, CMul, CDiv, CAbs,
// CSqr) as core operations, with the value operations of complex.h. Each
// reads all its inputs before writing its result, so an input and the result
// may share storage. Values never make them fail: arithmetic follows IEEE
// default rules (CDiv by (0, 0) gives NaN in both parts). A null pointer gives
// Status::NullPointer() and writes nothing.
#pragma once

#include "core/complex.h"
#include "core/errors.h"

namespace corvane {

Status CAdd(const Complex* a, const Complex* b, Complex* result);
// a − b.
Status CSub(const Complex* a, const Complex* b, Complex* result);
Status CMul(const Complex* a, const Complex* b, Complex* result);
// a / b by the one-norm scaled division.
Status CDiv(const Complex* a, const Complex* b, Complex* result);
// The modulus, dividing by the larger part.
Status CAbs(const Complex* cNumber, double* result);
// The principal square root.
Status CSqr(const Complex* cNumber, Complex* result);

}  // namespace corvane
