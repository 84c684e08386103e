// Host arrays, complex values, the message catalogue and text output: their
// worked examples, bit for bit. (Random fill is pinned by the result digest.)
#include "core/numeric_helpers.h"
#include "support.h"

namespace corvane::support {
namespace {

TEST(Arrays, GetsAndPutsOfBothObjects) {
    const Matrix m = Make<double>({{1, 2, 3}, {4, -0.0, kNaN}});
    FakeSink sink;
    FakeArray array;
    ASSERT_TRUE(AsArray(m, &sink).ok());
    EXPECT_TRUE(SameBits(sink.out, ToDense(m)));
    Matrix n;
    ASSERT_TRUE(n.Size(5, 5).ok());
    array.data = sink.out;
    ASSERT_TRUE(PutAsArray(n, &array).ok());  // round trip into another shape
    EXPECT_TRUE(SameBits(n, m));
    array.dims = 1, array.data = Dense<double>{{7}, {8}, {9}, {10}};
    ASSERT_TRUE(PutAsArray(n, &array).ok());
    EXPECT_TRUE(SameBits(n, Make<double>({{7}, {8}, {9}, {10}})));
    // Each complex put keeps the other part where the shapes overlap.
    CMatrix c;
    array = FakeArray{};
    array.data = Dense<double>{{1, 2}, {3, 4}};
    ASSERT_TRUE(PutAsArrayR(c, &array).ok());
    array.data = Dense<double>{{5, 6, 7}, {8, 9, 10}, {11, 12, 13}};
    ASSERT_TRUE(PutAsArrayI(c, &array).ok());
    EXPECT_TRUE(SameBits(ToDense(c), Dense<Complex>{{{1, 5}, {2, 6}, {0, 7}}, {{3, 8}, {4, 9}, {0, 10}}, {{0, 11}, {0, 12}, {0, 13}}}));
    ASSERT_TRUE(AsArrayI(c, &sink).ok());
    EXPECT_TRUE(SameBits(sink.out, array.data));
    ASSERT_TRUE(AsArrayR(c, &sink).ok());
    EXPECT_TRUE(SameBits(sink.out, Dense<double>{{1, 2, 0}, {3, 4, 0}, {0, 0, 0}}));
}

Complex Apply(Status (*f)(const Complex*, const Complex*, Complex*), Complex a, Complex b) {
    Complex r{-1, -1};
    EXPECT_TRUE(f(&a, &b, &r).ok());
    EXPECT_TRUE(f(&a, &b, &a).ok() && SameBits(a, r));  // an input may be the result
    return r;
}
Complex Root(Complex c) { return CSqr(&c, &c).ok() ? c : Complex{-1, -1}; }
Complex Abs(Complex c) { return CAbs(&c, &c.Real).ok() ? Complex{c.Real, 0} : Complex{-1, -1}; }
Complex DividedByReal(Complex c, double d) { return c /= d; }

TEST(ComplexValues, OperationsBitForBit) {
    const double big = 1e200 * std::sqrt(2.0);
    // clang-format off
    const std::pair<Complex, Complex> cases[] = {
        {Apply(CAdd, {1, 2}, {3, 4}), {4, 6}}, {Apply(CSub, {1, 2}, {3, 4}), {-2, -2}}, {Apply(CMul, {1, 2}, {3, 4}), {-5, 10}},
        {Apply(CDiv, {1, 2}, {3, 4}), {0.44000000000000006, 0.08}}, {Apply(CDiv, {1, 0}, {0, 1}), {0, -1}},
        {Apply(CDiv, {6, 8}, {2, 0}), {3, 4}}, {Apply(CDiv, {1, 1}, {0, 0}), {kNaN, kNaN}}, {1.0 / Complex{0, 2}, {0, -0.5}},
        {DividedByReal({585, -585}, 100), {585 * 0.01, -585 * 0.01}},  // times the reciprocal
        {Abs({3, 4}), {5, 0}}, {Abs({1, 1}), {1.4142135623730951, 0}}, {Abs({0, -7}), {7, 0}}, {Abs({-2, 0}), {2, 0}},
        {Abs({0, 0}), {0, 0}}, {Abs({1e200, 1e200}), {big, 0}}, {Abs({kInf, kInf}), {kNaN, 0}},
        {Root({4, 0}), {2, 0}}, {Root({-4, 0}), {0, 2}}, {Root({-4, -0.0}), {-0.0, 2}}, {Root({0, 0}), {0, 0}},
        {Root({-0.0, -0.0}), {0, 0}}, {Root({0, 2}), {1.0000000000000002, 0.9999999999999998}},
        {Root({-3, -4}), {1, -2}}, {Root({3, -4}), {2, -1}},
    };
    // clang-format on
    for (const auto& [got, expected] : cases)
        EXPECT_TRUE(SameBits(got, expected) ||
                    (std::isnan(expected.Real) && std::isnan(got.Real) && std::isnan(expected.Imag) == std::isnan(got.Imag)))
            << got << " expected " << expected;
    EXPECT_FALSE((MagnitudeGreater({3, 4}, {-5, 0}) || MagnitudeGreater({kNaN, 0}, {1, 0}) || Complex{kNaN, 0} == Complex{kNaN, 0}));
    EXPECT_TRUE((MagnitudeGreater({3, 4.5}, {-5, 0}) && Complex{1, 2} != Complex{1, -2}));
    EXPECT_TRUE(ScaledHypot(3, 4) == 5 && ScaledHypot(0, 0) == 0 && ScaledHypot(kNaN, 0) == 0 && ScaledHypot(-1e300, 1e300) < kInf);
    EXPECT_TRUE(TransferSign(-2, -0.0) == 2 && TransferSign(2, kNaN) == -2 && TransferSign(-2, -1) == -2);
}

TEST(Catalogue, MessagesAndCodes) {
    EXPECT_TRUE(MessageText(kInvalidRows) == "Invalid number of rows" && MessageText(kNotSized) == "Matrix not yet sized.");
    EXPECT_TRUE(MessageText(1322) == "Unknown Error" && FailureCode(1322) == static_cast<I>(0x8004052Au));
    EXPECT_TRUE(Status(kRowIndex).code() == static_cast<I>(0x80040527u) && Status::OutOfMemory().message() == 0);
}

template <class T> std::string Text(const BasicMatrix<T>& m, std::int16_t places = 3, std::string_view eol = {}) {
    Buffer<char> text;
    EXPECT_TRUE(GetString(m, places, eol, &text).ok());
    return {text.data(), static_cast<std::size_t>(text.size())};
}

TEST(Text, WorkedLayouts) {
    using D = Dense<Complex>;
    const std::pair<std::string, std::string> cases[] = {
        {Text(Make<double>({{1, -2.5}, {3, 4}})), "|  1.000 -2.500 |\r\n|  3.000  4.000 |\r\n"},
        {Text(ToMatrix(D{{{1, 2}, {3, -4}}})), "| ( 1.000, 2.000i) ( 3.000,-4.000i) |\r\n"},
        {Text(Make<double>({{2.5, -1.5}}), 0), "|  3 -1 |\r\n"},  // half up, towards +inf
        {Text(Make<double>({{-0.0004, 0}}), 3, ";"), "| 0.000 0.000 |;"},
        {Text(ToMatrix(D{{{0.5, -0.5}}}), 0, "\n"), "| (1,0i) |\n"},
        {Text(Make<double>({{7}, {8}}), 1, "<br>"), "| 7.0 |<br>| 8.0 |<br>"},
        {Text(ToMatrix(D{{{100, 0}}, {{0, -1}}}), 1), "| (100.0,  0.0i) |\r\n| (  0.0, -1.0i) |\r\n"},
        {Text(Make<double>({{0.5}, {-1234.25}}), 2), "|     0.50 |\r\n| -1234.25 |\r\n"},
        {Text(Make<double>({{1234.5, 150, -151}}), -2), "| 1200.000000  200.000000 -200.000000 |\r\n"},
        {Text(Make<double>({{kNaN, kInf, -kInf}}), 1), "|  nan  inf -inf |\r\n"},
        {Text(Matrix{}), "| Empty |"},
        {Text(CMatrix{}, 0, ";"), "| Empty |;"},
    };
    for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);
}

}  // namespace
}  // namespace corvane::support
