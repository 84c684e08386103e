#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "complex/complex.h"
#include "core/matrix.h"
#include "matrix_test_support.h"
#include "util/decimal_rounding.h"
#include "util/random_fill.h"

namespace corvane {
namespace {

using test::Bits;
using test::Contents;
using Rows = std::vector<std::vector<double>>;

// Runs `body` on a thread that has never drawn, so the generator starts at 1.
template <class Fn>
void OnFreshThread(Fn body) {
    std::thread t(body);
    t.join();
}

// The generator written out independently of the library.
struct ReferenceGenerator {
    std::uint32_t state = 1;
    std::int32_t Draw() {
        state = state * 214013u + 2531011u;
        return static_cast<std::int32_t>((state >> 16) & 32767u);
    }
};

double Reference(std::int32_t r, double low, double high, double scale) {
    const double step = (high - low) * 3.0517578125e-05;
    return std::floor((r * step + low) * scale + 0.5) * (1.0 / scale);
}

TEST(RandomDraw, FirstDrawsOfAFreshThread) {
    OnFreshThread([] {
        const std::int32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
        for (std::int32_t e : expected) EXPECT_EQ(RandomDraw(), e);
    });
}

TEST(FillRandom, ExactValuesOfAFreshThread) {
    OnFreshThread([] {
        Matrix m;
        ASSERT_TRUE(m.Size(2, 2).ok());
        ASSERT_TRUE(FillRandom(m).ok());
        EXPECT_EQ(Contents(m), (Rows{{6, 2}, {8, 6}}));
    });
    OnFreshThread([] {
        Matrix m;
        ASSERT_TRUE(m.Size(2, 2).ok());
        ASSERT_TRUE(FillRandom(m, 0.0, 10.0, 2).ok());
        EXPECT_EQ(Bits(m.at(0, 0)), Bits(5.64));
        EXPECT_EQ(Bits(m.at(0, 1)), Bits(1.93));
        EXPECT_EQ(Bits(m.at(1, 0)), Bits(8.09));
        EXPECT_EQ(Bits(m.at(1, 1)), Bits(5.8500000000000005));
        EXPECT_EQ(Bits(m.at(1, 1)), Bits(585.0 * 0.01));  // the reciprocal decides the last bit
        EXPECT_NE(Bits(m.at(1, 1)), Bits(585.0 / 100.0));
    });
    OnFreshThread([] {
        Matrix m;
        ASSERT_TRUE(m.Size(1, 2).ok());
        ASSERT_TRUE(FillRandom(m, -1.0, 1.0, 3).ok());
        EXPECT_EQ(Bits(m.at(0, 0)), Bits(0.127));
        EXPECT_EQ(Bits(m.at(0, 1)), Bits(-0.613));
    });
    OnFreshThread([] {
        BasicMatrix<Complex> c;
        ASSERT_TRUE(c.Size(1, 2).ok());
        ASSERT_TRUE(FillRandom(c).ok());
        EXPECT_EQ(c.at(0, 0), (Complex{6, 2}));
        EXPECT_EQ(c.at(0, 1), (Complex{8, 6}));
    });
}

TEST(FillRandom, UnsizedMatrixConsumesOneDrawAndStaysUnsized) {
    OnFreshThread([] {
        Matrix unsized;
        ASSERT_TRUE(unsized.PutRows(2).ok());  // a count alone is still unsized
        ASSERT_TRUE(FillRandom(unsized).ok());
        EXPECT_FALSE(unsized.sized());
        EXPECT_EQ(unsized.Rows(), 2);
        BasicMatrix<Complex> cunsized;
        ASSERT_TRUE(FillRandom(cunsized).ok());
        EXPECT_FALSE(cunsized.sized());
        // 41 and 18467 are gone; the next call discards 6334 and uses 26500.
        Matrix m;
        ASSERT_TRUE(m.Size(1, 1).ok());
        ASSERT_TRUE(FillRandom(m, 0.0, 32768.0).ok());
        EXPECT_EQ(m.at(0, 0), 26500.0);
    });
}

TEST(FillRandom, EachCallAdvancesByOnePlusOneDrawPerPart) {
    OnFreshThread([] {
        ReferenceGenerator ref;
        Matrix m;
        ASSERT_TRUE(m.Size(3, 4).ok());
        ASSERT_TRUE(FillRandom(m).ok());
        for (int k = 0; k < 1 + 12; ++k) ref.Draw();
        BasicMatrix<Complex> c;
        ASSERT_TRUE(c.Size(2, 3).ok());
        ASSERT_TRUE(FillRandom(c).ok());
        for (int k = 0; k < 1 + 2 * 6; ++k) ref.Draw();
        EXPECT_EQ(RandomDraw(), ref.Draw());
    });
}

TEST(FillRandom, MatchesTheFormulaForManyLimitsAndPlaces) {
    struct Case {
        double low, high;
        std::int16_t places;
    };
    // Scales 10ⁿ for n ≥ 0 up to 22 are exact, so the reference may form them
    // by repeated multiplication.
    const Case cases[] = {{0, 10, 0},     {0, 10, 2},     {-1, 1, 3},     {5, -5, 1},       {3, 3, 4},
                          {-1e6, 1e6, 5}, {0, 1, 15},     {1e-3, 2e-3, 9}, {-50, 50, 22}, {0, 1e300, 0}};
    for (const Case& k : cases) {
        OnFreshThread([&] {
            ReferenceGenerator ref;
            double scale = 1.0;
            for (int p = 0; p < k.places; ++p) scale *= 10.0;
            Matrix m;
            ASSERT_TRUE(m.Size(5, 7).ok());
            ASSERT_TRUE(FillRandom(m, k.low, k.high, k.places).ok());
            BasicMatrix<Complex> c;
            ASSERT_TRUE(c.Size(4, 3).ok());
            ASSERT_TRUE(FillRandom(c, k.low, k.high, k.places).ok());
            ref.Draw();
            for (std::int32_t i = 0; i < 5; ++i)
                for (std::int32_t j = 0; j < 7; ++j)
                    EXPECT_EQ(Bits(m.at(i, j)), Bits(Reference(ref.Draw(), k.low, k.high, scale)))
                        << k.low << " " << k.high << " " << k.places;
            ref.Draw();
            for (std::int32_t i = 0; i < 4; ++i)
                for (std::int32_t j = 0; j < 3; ++j) {
                    const double re = Reference(ref.Draw(), k.low, k.high, scale);
                    EXPECT_EQ(Bits(c.at(i, j).Real), Bits(re));
                    EXPECT_EQ(Bits(c.at(i, j).Imag), Bits(Reference(ref.Draw(), k.low, k.high, scale)));
                }
        });
    }
}

TEST(FillRandom, LimitsAndNegativePlaces) {
    OnFreshThread([] {
        Matrix m;
        ASSERT_TRUE(m.Size(6, 6).ok());
        ASSERT_TRUE(FillRandom(m, 2.25, 2.25, 1).ok());  // equal limits: the rounded limit
        for (std::int32_t i = 0; i < 6; ++i)
            for (std::int32_t j = 0; j < 6; ++j) EXPECT_EQ(Bits(m.at(i, j)), Bits(23.0 * 0.1));
        ASSERT_TRUE(FillRandom(m, 0, 1000, -2).ok());  // hundreds
        for (std::int32_t i = 0; i < 6; ++i)
            for (std::int32_t j = 0; j < 6; ++j) {
                const double v = m.at(i, j);
                EXPECT_GE(v, 0.0);
                EXPECT_LE(v, 1000.0);
                EXPECT_NEAR(v / 100.0, std::round(v / 100.0), 1e-9);
            }
        ASSERT_TRUE(FillRandom(m, 10, 0).ok());  // runs downward from the low limit
        for (std::int32_t i = 0; i < 6; ++i)
            for (std::int32_t j = 0; j < 6; ++j) {
                EXPECT_LE(m.at(i, j), 10.0);
                EXPECT_GE(m.at(i, j), 0.0);
            }
    });
}

TEST(FillRandom, ThreadsKeepTheirOwnSequences) {
    // Two threads drawing at the same time see the same sequence from 1, and
    // this thread's own draws do not disturb them.
    (void)RandomDraw();
    constexpr int kDraws = 20000;
    std::vector<std::int32_t> a(kDraws), b(kDraws);
    std::atomic<int> ready{0};
    auto work = [&](std::vector<std::int32_t>* out) {
        ready.fetch_add(1);
        while (ready.load() < 2) std::this_thread::yield();
        for (int k = 0; k < kDraws; ++k) (*out)[static_cast<std::size_t>(k)] = RandomDraw();
    };
    std::thread t1(work, &a), t2(work, &b);
    t1.join();
    t2.join();
    ReferenceGenerator ref;
    for (int k = 0; k < kDraws; ++k) {
        const std::int32_t e = ref.Draw();
        ASSERT_EQ(a[static_cast<std::size_t>(k)], e) << k;
        ASSERT_EQ(b[static_cast<std::size_t>(k)], e) << k;
    }
}

TEST(PowerOfTen, IsTheCorrectlyRoundedPowerForEveryExponent) {
    for (std::int32_t n = -420; n <= 420; ++n) {
        const std::string text = "1e" + std::to_string(n);
        EXPECT_EQ(Bits(PowerOfTen(n)), Bits(std::strtod(text.c_str(), nullptr))) << n;
    }
    EXPECT_EQ(PowerOfTen(32767), HUGE_VAL);
    EXPECT_EQ(Bits(PowerOfTen(-32768)), Bits(0.0));
    EXPECT_EQ(PowerOfTen(INT32_MAX), HUGE_VAL);
    EXPECT_EQ(PowerOfTen(INT32_MIN), 0.0);
}

TEST(DecimalRounding, RoundsHalfUpAndNeverGivesNegativeZero) {
    const DecimalRounding zero(0);
    EXPECT_EQ(zero.Round(2.5), 3.0);
    EXPECT_EQ(zero.Round(-2.5), -2.0);
    EXPECT_EQ(Bits(zero.Round(-0.4)), Bits(0.0));
    EXPECT_EQ(Bits(zero.Round(-0.0)), Bits(0.0));
    const DecimalRounding three(3);
    EXPECT_EQ(three.scale(), 1000.0);
    EXPECT_EQ(Bits(three.recip()), Bits(1.0 / 1000.0));
    EXPECT_EQ(Bits(three.Round(-0.0004)), Bits(0.0));
}

}  // namespace
}  // namespace corvane
