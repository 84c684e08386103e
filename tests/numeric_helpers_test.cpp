#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/numeric_helpers.h"
#include "matrix_test_support.h"

namespace corvane {
namespace {

using test::Bits;

TEST(ScaledHypot, ScalesByTheStrictlyLargerMagnitude) {
    EXPECT_EQ(ScaledHypot(3.0, -4.0), 5.0);
    EXPECT_EQ(ScaledHypot(-4.0, 3.0), 5.0);
    EXPECT_EQ(Bits(ScaledHypot(0.0, -0.0)), Bits(0.0));
    EXPECT_EQ(ScaledHypot(1e300, 1e300), 1e300 * std::sqrt(2.0));  // no overflow of the squares
    EXPECT_EQ(ScaledHypot(1e-300, 0.0), 1e-300);                   // no underflow either
    // Equal magnitudes take the second branch: q·sqrt(1 + 1).
    EXPECT_EQ(ScaledHypot(2.0, 2.0), 2.0 * std::sqrt(2.0));
    EXPECT_TRUE(std::isnan(ScaledHypot(std::nan(""), 1.0)));
    EXPECT_TRUE(std::isnan(ScaledHypot(1.0, std::nan(""))));
}

TEST(TransferSign, NegativeZeroCountsAsNotNegativeAndNaNAsNegative) {
    EXPECT_EQ(TransferSign(-2.0, 1.0), 2.0);
    EXPECT_EQ(TransferSign(2.0, -1.0), -2.0);
    EXPECT_EQ(TransferSign(-2.0, 0.0), 2.0);
    EXPECT_EQ(TransferSign(-2.0, -0.0), 2.0);
    EXPECT_EQ(TransferSign(2.0, std::nan("")), -2.0);
    EXPECT_EQ(TransferSign(2.0, -std::numeric_limits<double>::infinity()), -2.0);
}

}  // namespace
}  // namespace corvane
