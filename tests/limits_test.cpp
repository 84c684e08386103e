// Hostile sizes and scales: each row is a call that once ran away, crashed or
// printed garbage.
#include <thread>

#include "core/decimal_rounding.h"
#include "support.h"

namespace corvane {
namespace {

using namespace support;

// Storage that cannot fit in what the process can obtain (here 8 GiB, on any
// machine) fails before anything is allocated, and changes nothing.
TEST(Limits, SizesBeyondTheObtainableMemoryFailAtOnce) {
    SetMemoryQuery([]() noexcept -> std::uint64_t { return std::uint64_t{8} << 30; });
    const Matrix before = Make<double>({{1, 2}, {3, 4}});
    for (const auto& [rows, cols] : {std::pair{kMaxSize, 2}, {kMaxSize, 1}, {1000000000, 1}, {4, 1 << 28}}) {
        Matrix unsized, counted, sized = Copy(before);
        EXPECT_EQ(unsized.Size(rows, cols), Status::OutOfMemory());
        ASSERT_TRUE(counted.PutCols(cols).ok());
        EXPECT_EQ(counted.PutRows(rows), Status::OutOfMemory());
        EXPECT_EQ(sized.Size(rows, cols), Status::OutOfMemory());
        EXPECT_EQ(CMatrix().Size(rows, cols), Status::OutOfMemory());
        EXPECT_TRUE(!unsized.sized() && !counted.sized() && SameBits(sized, before)) << rows << " x " << cols;
    }
    Matrix fits;  // just over 64 MiB: the bound is consulted and allows it
    EXPECT_TRUE(fits.Size(1024, 8192).ok());
    SetMemoryQuery(nullptr);
    EXPECT_EQ(fits.Size(kMaxSize, 1 << 20), Status::OutOfMemory());  // beyond any process without a query
}

// Where 10ⁿ·x is not finite the value is kept; where 1/10ⁿ is not, it is 0.
TEST(Limits, RoundingNeverTurnsAFiniteValueIntoNaNOrInfinity) {
    const double max = std::numeric_limits<double>::max();
    // clang-format off
    const struct { std::int32_t places; double x, expected; } cases[] = {
        {400, 1.5, 1.5},     {308, -12345.678, -12345.678}, {309, 0.0, 0.0},      {32767, -0.0, 0.0},
        {1, max, max},       {-324, 1.5, 0.0},              {-310, -1e300, 0.0},  {-32768, max, 0.0},
        {0, -2.5, -2.0},     {0, 2.5, 3.0},                 {-1, 15.0, 20.0},     {-1, -15.0, -10.0},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(Bits(DecimalRounding(c.places).Round(c.x)), Bits(c.expected)) << c.places << " " << c.x;
    for (std::int16_t places : {std::int16_t{400}, std::int16_t{308}, std::int16_t{-400}}) {
        Buffer<char> text;
        ASSERT_TRUE(GetString(Make<double>({{1.5, -12345.678}}), places, ";", &text).ok());
        EXPECT_EQ(std::string(text.data(), static_cast<std::size_t>(text.size())).find('n'), std::string::npos) << places;  // no nan, no inf
    }
    std::thread([] {  // on a fresh thread the kept draws are 18467 and 6334, each r × 10/32768
        Matrix fill = Make<double>({{0, 0}});
        ASSERT_TRUE(FillRandom(fill, 0, 10, 400).ok());
        EXPECT_TRUE(SameBits(fill, Make<double>({{18467 * 3.0517578125e-04, 6334 * 3.0517578125e-04}})));
    })
        .join();
}

}  // namespace
}  // namespace corvane
