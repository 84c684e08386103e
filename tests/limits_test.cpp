// Hostile sizes and scales: each row is a call that once ran away, crashed or
// printed garbage.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <thread>

#include "core/allocation.h"
#include "core/cmatrix.h"
#include "matrix_test_support.h"
#include "util/decimal_rounding.h"
#include "util/random_fill.h"
#include "util/text_output.h"

namespace corvane {
namespace {

using test::Bits;
using test::ExpectSameBits;
using test::Make;

// A process that can obtain 8 GiB, whatever machine runs the test.
struct EightGiB {
    EightGiB() { SetMemoryQuery([]() noexcept -> std::uint64_t { return std::uint64_t{8} << 30; }); }
    ~EightGiB() { SetMemoryQuery(nullptr); }
};

// Storage that cannot fit fails before anything is allocated (a runaway would
// exhaust the machine and kill the test) and changes nothing.
TEST(Limits, SizesBeyondTheObtainableMemoryFailAtOnce) {
    const EightGiB limit;
    const struct { std::int32_t rows, cols; } sizes[] = {{kMaxSize, 2}, {kMaxSize, 1}, {1000000000, 1}, {4, 1 << 28}};
    const Matrix before = Make({{1, 2}, {3, 4}});
    for (const auto& s : sizes) {
        SCOPED_TRACE(testing::Message() << s.rows << " x " << s.cols);
        Matrix unsized, counted, sized = Make({{1, 2}, {3, 4}});
        EXPECT_EQ(unsized.Size(s.rows, s.cols), Status::OutOfMemory());
        EXPECT_FALSE(unsized.sized());
        ASSERT_TRUE(counted.PutCols(s.cols).ok());
        EXPECT_EQ(counted.PutRows(s.rows), Status::OutOfMemory());
        EXPECT_FALSE(counted.sized());
        EXPECT_EQ(sized.Size(s.rows, s.cols), Status::OutOfMemory());
        ExpectSameBits(sized, before);
        EXPECT_EQ(CMatrix().Size(s.rows, s.cols), Status::OutOfMemory());
    }
    Matrix sized = Make({{1, 2}, {3, 4}});
    EXPECT_EQ(sized.PutRows(kMaxSize), Status::OutOfMemory());  // resizing, through the row count
    ExpectSameBits(sized, before);
    Matrix fits;  // just over 64 MiB: the bound is consulted and allows it
    EXPECT_TRUE(fits.Size(1024, 8192).ok());
}

TEST(Limits, TheBuiltInBoundRefusesWhatNoProcessCanHold) {
    Matrix m;
    EXPECT_EQ(m.Size(kMaxSize, 1 << 20), Status::OutOfMemory());  // 16 PiB
    EXPECT_EQ(m.Size(1 << 20, 1 << 28), Status::OutOfMemory());   // 2 PiB in large rows
    EXPECT_FALSE(m.sized());
}

// Where 10ⁿ·x is not finite the value is kept; where 1/10ⁿ is not, it is 0.
TEST(Limits, RoundingNeverTurnsAFiniteValueIntoNaNOrInfinity) {
    const double max = std::numeric_limits<double>::max();
    const struct { std::int32_t places; double x, expected; } cases[] = {
        {400, 1.5, 1.5},     {308, -12345.678, -12345.678}, {309, 0.0, 0.0},      {32767, -0.0, 0.0},
        {1, max, max},       {-324, 1.5, 0.0},              {-310, -1e300, 0.0},  {-32768, max, 0.0},
        {0, -2.5, -2.0},     {0, 2.5, 3.0},                 {-1, 15.0, 20.0},     {-1, -15.0, -10.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Bits(DecimalRounding(c.places).Round(c.x)), Bits(c.expected)) << c.places << " " << c.x;

    Matrix m = Make({{1.5, -12345.678}});
    for (std::int16_t places : {std::int16_t{400}, std::int16_t{308}, std::int16_t{-400}}) {
        Buffer<char> text;
        ASSERT_TRUE(GetString(m, places, ";", &text).ok());
        const std::string s(text.data(), static_cast<std::size_t>(text.size()));
        EXPECT_EQ(s.find('n'), std::string::npos) << places << ": " << s.substr(0, 40);  // no nan, no inf
    }
    // On a fresh thread the kept draws are 18467 and 6334, each r × 10/32768.
    std::thread([] {
        Matrix fill = Make({{0, 0}});
        ASSERT_TRUE(FillRandom(fill, 0, 10, 400).ok());
        EXPECT_EQ(Bits(fill.at(0, 0)), Bits(18467 * 3.0517578125e-04));
        EXPECT_EQ(Bits(fill.at(0, 1)), Bits(6334 * 3.0517578125e-04));
    }).join();
}

}  // namespace
}  // namespace corvane
