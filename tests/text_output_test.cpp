#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <string_view>

#include "complex/complex.h"
#include "core/allocation.h"
#include "core/matrix.h"
#include "matrix_test_support.h"
#include "util/decimal_rounding.h"
#include "util/text_output.h"

namespace corvane {
namespace {

using test::Make;
using CMatrix = BasicMatrix<Complex>;

template <class M>
std::string Text(const M& m, std::int16_t places = 3, std::string_view eol = {}) {
    Buffer<char> text;
    const Status s = GetString(m, places, eol, &text);
    EXPECT_TRUE(s.ok());
    return {text.data(), static_cast<std::size_t>(text.size())};
}

CMatrix MakeC(std::int32_t rows, std::int32_t cols, std::initializer_list<Complex> values) {
    CMatrix c;
    EXPECT_TRUE(c.Size(rows, cols).ok());
    auto it = values.begin();
    for (std::int32_t i = 0; i < rows; ++i)
        for (std::int32_t j = 0; j < cols; ++j) c.at(i, j) = *it++;
    return c;
}

TEST(GetString, WorkedLayouts) {
    EXPECT_EQ(Text(Make({{1, -2.5}, {3, 4}})), "|  1.000 -2.500 |\r\n|  3.000  4.000 |\r\n");
    EXPECT_EQ(Text(MakeC(1, 2, {{1, 2}, {3, -4}})), "| ( 1.000, 2.000i) ( 3.000,-4.000i) |\r\n");
    EXPECT_EQ(Text(Make({{2.5, -1.5}}), 0), "|  3 -1 |\r\n");
    EXPECT_EQ(Text(Make({{-0.0004, 0}}), 3, ";"), "| 0.000 0.000 |;");
    EXPECT_EQ(Text(MakeC(1, 1, {{0.5, -0.5}}), 0, "\n"), "| (1,0i) |\n");
    EXPECT_EQ(Text(Make({{7}})), "| 7.000 |\r\n");
    EXPECT_EQ(Text(Make({{7}, {8}}), 1, "<br>"), "| 7.0 |<br>| 8.0 |<br>");
}

TEST(GetString, UnsizedMatrixIsEmptyWithTheEndOfLineAsGiven) {
    Matrix m;
    EXPECT_EQ(Text(m), "| Empty |");
    EXPECT_EQ(Text(m, 3, ";"), "| Empty |;");
    ASSERT_TRUE(m.PutCols(4).ok());  // a count alone is still unsized
    EXPECT_EQ(Text(m, -7, "\r\n"), "| Empty |\r\n");
    CMatrix c;
    EXPECT_EQ(Text(c), "| Empty |");
    EXPECT_EQ(Text(c, 0, ";"), "| Empty |;");
}

TEST(GetString, OneWidthForAllColumnsFromTheWidestText) {
    // The complex width counts real and imaginary parts together.
    EXPECT_EQ(Text(MakeC(2, 1, {{100, 0}, {0, -1}}), 1), "| (100.0,  0.0i) |\r\n| (  0.0, -1.0i) |\r\n");
    EXPECT_EQ(Text(Make({{0.5}, {-1234.25}}), 2), "|     0.50 |\r\n| -1234.25 |\r\n");
}

TEST(GetString, NegativePlacesRoundToTensAndPrintSixDecimals) {
    EXPECT_EQ(Text(Make({{1234.5, 150, -151}}), -2), "| 1200.000000  200.000000 -200.000000 |\r\n");
    EXPECT_EQ(Text(Make({{15, -15}}), -1), "|  20.000000 -10.000000 |\r\n");
}

TEST(GetString, NonFiniteElementsAndOverflowingScales) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Text(Make({{nan, inf, -inf, -nan}})), "|  nan  inf -inf  nan |\r\n");
    EXPECT_EQ(Text(MakeC(1, 1, {{-inf, nan}}), 2), "| (-inf, nani) |\r\n");
}

TEST(GetString, ExtremeValuesPrintTheirFullExpansion) {
    const std::string big = Text(Make({{1e308, -1e308}}), 0);
    // 309 digits, a sign, one space of separation, frames and CR LF.
    ASSERT_EQ(big.size(), 1 + 2 * 311 + 2 + 2);
    EXPECT_EQ(big.substr(0, 24), "|  100000000000000001097");
    EXPECT_EQ(big.substr(311, 5), "6 -10");
    // 308 places on 1e-308 and on 1: long lines, each value printed in full.
    const std::string small = Text(Make({{1e-308, 1}}), 308);
    EXPECT_EQ(small.size(), 1 + 2 * (1 + 2 + 308) + 2 + 2);
    EXPECT_EQ(small.find("nan"), std::string::npos);
    const std::string largest = Text(Make({{std::numeric_limits<double>::max()}}), 0);
    EXPECT_EQ(largest.substr(0, 6), "| 1797");
    EXPECT_EQ(largest.size(), 1 + 1 + 309 + 2 + 2);
}

#ifndef _WIN32
// glibc's printf prints the exact expansion in the C locale: an independent
// oracle for the number texts and the widths, on finite values.
std::string PrintfReference(const Matrix& m, int places) {
    const DecimalRounding r(places);
    int widest = 0;
    for (std::int32_t i = 0; i < m.Rows(); ++i)
        for (std::int32_t j = 0; j < m.Cols(); ++j)
            widest = std::max(widest, std::snprintf(nullptr, 0, "%.*f", places, r.Round(m.at(i, j))));
    std::string out;
    for (std::int32_t i = 0; i < m.Rows(); ++i) {
        out += "|";
        for (std::int32_t j = 0; j < m.Cols(); ++j) {
            std::string cell(static_cast<std::size_t>(widest + 2 + 400), '\0');
            const int n = std::snprintf(cell.data(), cell.size(), "%*.*f", widest + 1, places, r.Round(m.at(i, j)));
            out.append(cell.data(), static_cast<std::size_t>(n));
        }
        out += " |\r\n";
    }
    return out;
}

TEST(GetString, AgreesWithTheCLibraryFormatterOnRandomValues) {
    std::mt19937_64 gen(12345);
    std::uniform_int_distribution<int> exponent(-320, 308), placesOf(-30, 330);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    for (int trial = 0; trial < 300; ++trial) {
        Matrix m;
        ASSERT_TRUE(m.Size(3, 4).ok());
        for (std::int32_t i = 0; i < 3; ++i)
            for (std::int32_t j = 0; j < 4; ++j) m.at(i, j) = mantissa(gen) * std::pow(10.0, exponent(gen) / 8);
        const int places = trial % 3 == 0 ? placesOf(gen) : trial % 20;
        if (places > 308 || places < -323) continue;  // nothing rounded, see limits_test
        // A negative precision means printf's default, 6, in the reference too.
        ASSERT_EQ(Text(m, static_cast<std::int16_t>(places)), PrintfReference(m, places)) << "places " << places;
    }
}
#endif

TEST(GetString, FailuresLeaveTheOutputUntouched) {
    const Matrix m = Make({{1, 2}, {3, 4}});
    Buffer<char> text;
    ASSERT_TRUE(text.Allocate(3));
    text[0] = 'x';
    for (long n = 0; n < 2; ++n) {
        FailAllocationsAfter(n);
        const Status s = GetString(m, 3, {}, &text);
        FailAllocationsAfter(-1);
        EXPECT_EQ(s, Status::OutOfMemory()) << n;
        ASSERT_EQ(text.size(), 3);
        EXPECT_EQ(text[0], 'x');
    }
    FailAllocationsAfter(0);
    const Status s = GetString(Matrix(), 3, {}, &text);
    FailAllocationsAfter(-1);
    EXPECT_EQ(s, Status::OutOfMemory());
    EXPECT_EQ(text[0], 'x');
    EXPECT_EQ(GetString(m, 3, {}, nullptr), Status::NullPointer());
    EXPECT_EQ(GetString(CMatrix(), 3, {}, nullptr), Status::NullPointer());
}

}  // namespace
}  // namespace corvane
