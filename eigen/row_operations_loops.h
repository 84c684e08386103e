// The loops of RowOperations, included by one source file per instruction set
// and compiled there for that set (the compiler vectorises them across
// elements; no element's operations are reordered or fused).
#pragma once

#include <cstdint>

#include "eigen/row_operations.h"

namespace corvane {
namespace {

void AddScaled(double* __restrict y, const double* __restrict x, double s, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) y[j] = y[j] + x[j] * s;
}

void SubtractScaled(double* __restrict y, const double* __restrict x, double s, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) y[j] = y[j] - x[j] * s;
}

void SubtractTwo(double* __restrict y, const double* __restrict u, double a, const double* __restrict v, double b,
                 std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) y[j] = y[j] - (u[j] * a + v[j] * b);
}

void SubtractTwoAccumulate(double* __restrict y, const double* __restrict u, double a, const double* __restrict v,
                           double b, double* __restrict q, double c, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        y[j] = y[j] - (u[j] * a + v[j] * b);
        q[j] = q[j] + y[j] * c;
    }
}

void Rotate(double* __restrict x, double* __restrict y, double c, double s, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double t = y[j];
        y[j] = s * x[j] + c * t;
        x[j] = c * x[j] - s * t;
    }
}

void RotatePair(double* __restrict x, double* __restrict y, double c, double s, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double v = x[j];
        x[j] = c * v + s * y[j];
        y[j] = c * y[j] - s * v;
    }
}

void Reflect3(double* __restrict x, double* __restrict y, double* __restrict z, double p, double q, double r, double qq,
              double rr, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double v = p * x[j] + q * y[j] + r * z[j];
        x[j] = x[j] - v;
        y[j] = y[j] - v * qq;
        z[j] = z[j] - v * rr;
    }
}

void Reflect2(double* __restrict x, double* __restrict y, double p, double q, double qq, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double v = p * x[j] + q * y[j];
        x[j] = x[j] - v;
        y[j] = y[j] - v * qq;
    }
}

void ReflectRows3(double* __restrict x, double* __restrict y, double* __restrict z, double p, double q, double r,
                  double qq, double rr, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double v = x[j] + qq * y[j] + rr * z[j];
        x[j] = x[j] - v * p;
        y[j] = y[j] - v * q;
        z[j] = z[j] - v * r;
    }
}

void ReflectRows2(double* __restrict x, double* __restrict y, double p, double q, double qq, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double v = x[j] + qq * y[j];
        x[j] = x[j] - v * p;
        y[j] = y[j] - v * q;
    }
}

constexpr RowOperations kLoops{&AddScaled,  &SubtractScaled, &SubtractTwo, &SubtractTwoAccumulate, &Rotate,
                               &RotatePair, &Reflect3,       &Reflect2,    &ReflectRows3,          &ReflectRows2};

}  // namespace
}  // namespace corvane
