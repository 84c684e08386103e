#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "core/matrix.h"
#include "matrix_test_support.h"

namespace corvane {
namespace {

using test::Bits;
using test::Contents;
using test::ExpectSameBits;
using test::Make;
using Rows = std::vector<std::vector<double>>;

TEST(MatrixState, NewMatrixIsUnsizedAndEveryElementOperationSaysSo) {
    Matrix m;
    EXPECT_EQ(m.Rows(), 0);
    EXPECT_EQ(m.Cols(), 0);
    EXPECT_EQ(Matrix::MaxSize(), 2147483647);
    double v = 7.0;
    bool square = true;
    EXPECT_EQ(m.Item(0, 0, &v).message(), 1321);
    EXPECT_EQ(v, 7.0);
    EXPECT_EQ(m.PutItem(0, 0, 1.0).message(), 1321);
    EXPECT_EQ(m.IsSquare(&square).message(), 1321);
    EXPECT_TRUE(square);
    EXPECT_EQ(m.Clear().message(), 1321);
    // The sized test comes before the index tests here ...
    EXPECT_EQ(m.SwapRows(5, -1).message(), 1321);
    EXPECT_EQ(m.SwapCols(-1, 5).message(), 1321);
    EXPECT_EQ(m.Item(-1, -1, &v).message(), 1321);
    // ... but after them in the vector cuts.
    Matrix out;
    EXPECT_EQ(m.ColVector(0, &out).message(), 1320);
    EXPECT_EQ(m.RowVector(0, &out).message(), 1319);
}

TEST(MatrixState, CountsGivenAloneAllocateNothingUntilBothAreKnown) {
    Matrix m;
    ASSERT_TRUE(m.PutRows(3).ok());
    EXPECT_EQ(m.Rows(), 3);
    EXPECT_EQ(m.Cols(), 0);
    double v = 0;
    EXPECT_EQ(m.Item(0, 0, &v).message(), 1321);
    Matrix out;
    EXPECT_EQ(m.RowVector(2, &out).message(), 1321);  // valid index, still unsized
    EXPECT_EQ(m.RowVector(3, &out).message(), 1319);
    ASSERT_TRUE(m.PutRows(4).ok());  // a second row count replaces the first
    ASSERT_TRUE(m.PutCols(2).ok());
    EXPECT_EQ(Contents(m), (Rows{{0, 0}, {0, 0}, {0, 0}, {0, 0}}));

    Matrix n;  // the other order
    ASSERT_TRUE(n.PutCols(2).ok());
    EXPECT_EQ(n.ColVector(1, &out).message(), 1321);
    EXPECT_EQ(n.ColVector(2, &out).message(), 1320);
    ASSERT_TRUE(n.PutRows(1).ok());
    EXPECT_EQ(Contents(n), (Rows{{0, 0}}));
    EXPECT_EQ(Bits(n.at(0, 1)), 0u);  // +0.0, not -0.0
}

TEST(MatrixState, InvalidCountsFailWithRowsTestedFirstAndChangeNothing) {
    Matrix m = Make({{1, 2}, {3, 4}});
    EXPECT_EQ(m.Size(0, 5).message(), 1301);
    EXPECT_EQ(m.Size(5, 0).message(), 1302);
    EXPECT_EQ(m.Size(0, 0).message(), 1301);
    EXPECT_EQ(m.Size(-2147483647 - 1, 3).message(), 1301);
    EXPECT_EQ(m.Size(3, -1).message(), 1302);
    EXPECT_EQ(m.PutRows(0).message(), 1301);
    EXPECT_EQ(m.PutCols(-3).message(), 1302);
    EXPECT_EQ(Contents(m), (Rows{{1, 2}, {3, 4}}));

    Matrix fresh;
    EXPECT_EQ(fresh.PutRows(0).message(), 1301);
    EXPECT_EQ(fresh.PutCols(0).message(), 1302);
    EXPECT_EQ(fresh.Rows(), 0);
    EXPECT_EQ(fresh.Cols(), 0);
    EXPECT_FALSE(fresh.sized());
}

TEST(MatrixResize, KeepsTheCommonTopLeftBlockAndZeroesTheRest) {
    Matrix m = Make({{1, 2}, {3, 4}});
    ASSERT_TRUE(m.Size(3, 1).ok());
    EXPECT_EQ(Contents(m), (Rows{{1}, {3}, {0}}));

    Matrix w = Make({{1, 2, 3}, {4, 5, 6}});
    ASSERT_TRUE(w.PutRows(4).ok());
    EXPECT_EQ(Contents(w), (Rows{{1, 2, 3}, {4, 5, 6}, {0, 0, 0}, {0, 0, 0}}));
    ASSERT_TRUE(w.PutCols(2).ok());
    EXPECT_EQ(Contents(w), (Rows{{1, 2}, {4, 5}, {0, 0}, {0, 0}}));
    ASSERT_TRUE(w.Size(4, 2).ok());  // same shape: reallocated, every element kept
    EXPECT_EQ(Contents(w), (Rows{{1, 2}, {4, 5}, {0, 0}, {0, 0}}));
}

// Random resize sequences against a plain model of the rule: an element
// survives exactly when it lies inside both shapes.
TEST(MatrixResize, RandomSequencesMatchAModel) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> dim(1, 7), op(0, 2);
    for (int trial = 0; trial < 200; ++trial) {
        Matrix m;
        Rows model;
        for (int step = 0; step < 8; ++step) {
            int r = m.sized() ? m.Rows() : dim(rng), c = m.sized() ? m.Cols() : dim(rng);
            switch (m.sized() ? op(rng) : 0) {
                case 0: r = dim(rng); c = dim(rng); ASSERT_TRUE(m.Size(r, c).ok()); break;
                case 1: r = dim(rng); ASSERT_TRUE(m.PutRows(r).ok()); break;
                default: c = dim(rng); ASSERT_TRUE(m.PutCols(c).ok()); break;
            }
            Rows next(static_cast<std::size_t>(r), std::vector<double>(static_cast<std::size_t>(c), 0.0));
            for (std::size_t i = 0; i < next.size() && i < model.size(); ++i)
                for (std::size_t j = 0; j < next[i].size() && j < model[i].size(); ++j) next[i][j] = model[i][j];
            model = next;
            ASSERT_EQ(Contents(m), model);
            // Fill a few elements with fresh values for the next step.
            for (int k = 0; k < 4; ++k) {
                const int i = static_cast<int>(rng() % static_cast<unsigned>(r));
                const int j = static_cast<int>(rng() % static_cast<unsigned>(c));
                const double v = static_cast<double>(rng() % 1000) - 500.0;
                ASSERT_TRUE(m.PutItem(i, j, v).ok());
                model[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = v;
            }
        }
    }
}

TEST(MatrixItem, IndexesAreTestedRowFirstAndFailuresWriteNothing) {
    Matrix m;
    ASSERT_TRUE(m.Size(3, 4).ok());
    ASSERT_TRUE(m.PutItem(2, 3, 9.5).ok());
    double v = 42.0;
    EXPECT_EQ(m.Item(3, 0, &v).message(), 1319);
    EXPECT_EQ(m.Item(0, 4, &v).message(), 1320);
    EXPECT_EQ(m.Item(3, 4, &v).message(), 1319);
    EXPECT_EQ(m.Item(-1, 0, &v).message(), 1319);
    EXPECT_EQ(m.Item(0, -1, &v).message(), 1320);
    EXPECT_EQ(m.Item(2147483647, 2147483647, &v).message(), 1319);
    EXPECT_EQ(v, 42.0);
    EXPECT_EQ(m.PutItem(3, 0, 1.0).message(), 1319);
    EXPECT_EQ(m.PutItem(0, 4, 1.0).message(), 1320);
    EXPECT_EQ(m.PutItem(-1, 4, 1.0).message(), 1319);
    ASSERT_TRUE(m.Item(2, 3, &v).ok());
    EXPECT_EQ(v, 9.5);
    for (const auto& row : Contents(m))
        for (double x : row) EXPECT_TRUE(x == 0.0 || x == 9.5);
}

TEST(MatrixItem, StoresEveryDoubleBitForBit) {
    const std::uint64_t patterns[] = {
        0x8000000000000000u,  // -0.0
        0x7FF0000000000000u,  // +inf
        0xFFF0000000000000u,  // -inf
        0x7FF8000000000001u,  // quiet NaN with payload
        0xFFF800000000BEEFu,  // negative NaN with payload
        0x0000000000000001u,  // smallest subnormal
        0x7FEFFFFFFFFFFFFFu,  // largest finite
    };
    Matrix m;
    ASSERT_TRUE(m.Size(1, 7).ok());
    for (int j = 0; j < 7; ++j) ASSERT_TRUE(m.PutItem(0, j, test::FromBits(patterns[j])).ok());
    for (int j = 0; j < 7; ++j) {
        double v = 0;
        ASSERT_TRUE(m.Item(0, j, &v).ok());
        EXPECT_EQ(Bits(v), patterns[j]) << j;
    }
    // The bits survive a resize and a clone as well.
    ASSERT_TRUE(m.Size(2, 7).ok());
    Matrix c;
    ASSERT_TRUE(m.Clone(&c).ok());
    for (int j = 0; j < 7; ++j) EXPECT_EQ(Bits(c.at(0, j)), patterns[j]) << j;
}

TEST(MatrixWhole, IsSquareAndClear) {
    bool sq = false;
    Matrix a = Make({{1, 2}, {3, 4}});
    ASSERT_TRUE(a.IsSquare(&sq).ok());
    EXPECT_TRUE(sq);
    Matrix b = Make({{1, 2, 3}, {4, 5, 6}});
    ASSERT_TRUE(b.IsSquare(&sq).ok());
    EXPECT_FALSE(sq);

    Matrix z = Make({{-0.0, std::numeric_limits<double>::quiet_NaN()}, {-1, 5}});
    ASSERT_TRUE(z.Clear().ok());
    EXPECT_EQ(z.Rows(), 2);
    EXPECT_EQ(z.Cols(), 2);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) EXPECT_EQ(Bits(z.at(i, j)), 0u);
}

TEST(MatrixWhole, SwapRowsAndCols) {
    Matrix m = Make({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    ASSERT_TRUE(m.SwapRows(0, 2).ok());
    EXPECT_EQ(Contents(m), (Rows{{7, 8, 9}, {4, 5, 6}, {1, 2, 3}}));
    ASSERT_TRUE(m.SwapCols(2, 0).ok());
    EXPECT_EQ(Contents(m), (Rows{{9, 8, 7}, {6, 5, 4}, {3, 2, 1}}));
    ASSERT_TRUE(m.SwapRows(1, 1).ok());
    ASSERT_TRUE(m.SwapCols(1, 1).ok());
    EXPECT_EQ(Contents(m), (Rows{{9, 8, 7}, {6, 5, 4}, {3, 2, 1}}));
    EXPECT_EQ(m.SwapRows(0, 3).message(), 1319);
    EXPECT_EQ(m.SwapRows(-1, 0).message(), 1319);
    EXPECT_EQ(m.SwapRows(0, 0 + 3).message(), 1319);
    EXPECT_EQ(m.SwapCols(3, 0).message(), 1320);
    EXPECT_EQ(m.SwapCols(0, -1).message(), 1320);
    EXPECT_EQ(Contents(m), (Rows{{9, 8, 7}, {6, 5, 4}, {3, 2, 1}}));
}

TEST(MatrixWhole, CloneIsIndependentAndAnUnsizedCloneForgetsLoneCounts) {
    Matrix m = Make({{1, 2}, {3, 4}, {5, 6}});
    Matrix c;
    ASSERT_TRUE(m.Clone(&c).ok());
    ExpectSameBits(m, c);
    ASSERT_TRUE(c.PutItem(0, 0, 100).ok());
    ASSERT_TRUE(m.PutItem(2, 1, -6).ok());
    EXPECT_EQ(Contents(m), (Rows{{1, 2}, {3, 4}, {5, -6}}));
    EXPECT_EQ(Contents(c), (Rows{{100, 2}, {3, 4}, {5, 6}}));

    Matrix lone;
    ASSERT_TRUE(lone.PutRows(5).ok());
    Matrix d = Make({{8}});
    ASSERT_TRUE(lone.Clone(&d).ok());  // replaces d with a fresh, unsized object
    EXPECT_FALSE(d.sized());
    EXPECT_EQ(d.Rows(), 0);
    EXPECT_EQ(d.Cols(), 0);
    ASSERT_TRUE(d.PutCols(2).ok());  // no row count was carried over
    EXPECT_FALSE(d.sized());
}

TEST(MatrixWhole, ColAndRowVectorsCopyOneLine) {
    Matrix m = Make({{1, 2, 3}, {4, 5, 6}});
    Matrix col, row;
    ASSERT_TRUE(m.ColVector(2, &col).ok());
    EXPECT_EQ(Contents(col), (Rows{{3}, {6}}));
    ASSERT_TRUE(m.RowVector(1, &row).ok());
    EXPECT_EQ(Contents(row), (Rows{{4, 5, 6}}));
    ASSERT_TRUE(m.PutItem(1, 2, 0).ok());  // results are copies
    EXPECT_EQ(Contents(col), (Rows{{3}, {6}}));

    Matrix keep = Make({{7}});
    EXPECT_EQ(m.ColVector(3, &keep).message(), 1320);
    EXPECT_EQ(m.ColVector(-1, &keep).message(), 1320);
    EXPECT_EQ(m.RowVector(2, &keep).message(), 1319);
    EXPECT_EQ(Contents(keep), (Rows{{7}}));
}

}  // namespace
}  // namespace corvane
