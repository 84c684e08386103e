#include "core/random_fill.h"

#include "core/decimal_rounding.h"

namespace corvane {
namespace {

thread_local std::uint32_t generatorState = 1;

// The element value of one draw (rounding done by the caller).
struct RandomValue {
    double step;
    double low;
    double operator()(std::int32_t r) const { return static_cast<double>(r) * step + low; }
};

// Shared by both element types: `put(element, value)` consumes its draws.
template <class T, class PutFn>
Status Fill(BasicMatrix<T>& m, double lowLimit, double highLimit, std::int16_t places, PutFn put) {
    const RandomValue value{(highLimit - lowLimit) * 3.0517578125e-05, lowLimit};
    const DecimalRounding rounding(places);
    (void)RandomDraw();  // the first draw of every call is discarded
    if (!m.sized()) return Status::Ok();
    for (std::int32_t i = 0; i < m.Rows(); ++i)
        for (std::int32_t j = 0; j < m.Cols(); ++j) put(m.at(i, j), value, rounding);
    return Status::Ok();
}

}  // namespace

std::int32_t RandomDraw() noexcept {
    generatorState = generatorState * 214013u + 2531011u;
    return static_cast<std::int32_t>((generatorState >> 16) & 32767u);
}

// FillRandom of the real matrix object.
Status FillRandom(BasicMatrix<double>& m, double lowLimit, double highLimit, std::int16_t numDecimalPlaces) {
    return Fill(m, lowLimit, highLimit, numDecimalPlaces,
                [](double& e, const RandomValue& value, const DecimalRounding& rounding) {
                    e = rounding.Round(value(RandomDraw()));
                });
}

// FillRandom of the complex matrix object: the real part draws first.
Status FillRandom(BasicMatrix<Complex>& m, double lowLimit, double highLimit, std::int16_t numDecimalPlaces) {
    return Fill(m, lowLimit, highLimit, numDecimalPlaces,
                [](Complex& e, const RandomValue& value, const DecimalRounding& rounding) {
                    const double re = rounding.Round(value(RandomDraw()));
                    const double im = rounding.Round(value(RandomDraw()));
                    e = Complex{re, im};
                });
}

}  // namespace corvane
