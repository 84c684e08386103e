#include "core/global_functions.h"

namespace corvane {
namespace {

template <class Op>
Status Binary(const Complex* a, const Complex* b, Complex* result, Op op) {
    if (a == nullptr || b == nullptr || result == nullptr) return Status::NullPointer();
    const Complex value = op(*a, *b);
    *result = value;
    return Status::Ok();
}

}  // namespace

Status CAdd(const Complex* a, const Complex* b, Complex* result) {
    return Binary(a, b, result, [](Complex x, Complex y) { return x + y; });
}

Status CSub(const Complex* a, const Complex* b, Complex* result) {
    return Binary(a, b, result, [](Complex x, Complex y) { return x - y; });
}

Status CMul(const Complex* a, const Complex* b, Complex* result) {
    return Binary(a, b, result, [](Complex x, Complex y) { return x * y; });
}

Status CDiv(const Complex* a, const Complex* b, Complex* result) {
    return Binary(a, b, result, [](Complex x, Complex y) { return x / y; });
}

Status CAbs(const Complex* cNumber, double* result) {
    if (cNumber == nullptr || result == nullptr) return Status::NullPointer();
    *result = Modulus(*cNumber);
    return Status::Ok();
}

Status CSqr(const Complex* cNumber, Complex* result) {
    if (cNumber == nullptr || result == nullptr) return Status::NullPointer();
    const Complex root = SquareRoot(*cNumber);
    *result = root;
    return Status::Ok();
}

}  // namespace corvane
